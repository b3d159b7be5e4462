#include "controls/GCommonDialog.h"

#include "platform/ui.h"

namespace controls {

namespace {

std::string Padded(const std::string& text) {
  std::string s = text.substr(0, GCommonDialog::kBufferSize - 1);
  s.resize(GCommonDialog::kBufferSize, '\0');
  return s;
}

std::string UpToNul(const std::string& s) { return s.substr(0, s.find('\0')); }

}  // namespace

std::string GCommonDialog::ConvertFilter(const std::string& filter) {
  std::string s = filter;
  for (char& c : s)
    if (c == '|' || c == ':') c = '\0';
  s.append(2, '\0');
  return s;
}

std::string GCommonDialog::FilterEntry(const std::string& converted, int index) {
  if (index < 1) return std::string();
  std::string::size_type at = 0;
  for (int part = 0; part < 2 * (index - 1); ++part) {
    at = converted.find('\0', at);
    if (at == std::string::npos) return std::string();
    ++at;
  }
  std::string::size_type mid = converted.find('\0', at);
  if (mid == std::string::npos || mid == at) return std::string();
  std::string::size_type end = converted.find('\0', mid + 1);
  if (end == std::string::npos) return std::string();
  return converted.substr(at, end - at);
}

bool GCommonDialog::Run(bool save, std::string& Filename, std::string& FileTitle,
                        std::uint32_t chosenFlags, std::string& Filter, std::int32_t& FilterIndex,
                        const std::string& InitDir, const std::string& DlgTitle,
                        const std::string& DefaultExt, void* Owner, std::int32_t& flags,
                        std::int32_t cancelIndex) {
  apiReturn_ = 0;
  platform::FileDialogRecord r;
  r.save = save;
  r.flags = chosenFlags |
            (static_cast<std::uint32_t>(flags) & ~(platform::kOfnEnableHook | platform::kOfnEnableTemplate));
  r.owner = Owner;
  r.filter = ConvertFilter(Filter);
  r.filterIndex = FilterIndex;
  r.file = Padded(Filename);
  r.fileTitle = Padded(FileTitle);
  r.initDir = InitDir;
  r.title = DlgTitle;
  r.defaultExt = DefaultExt;

  apiReturn_ = platform::Ui().ShowFileDialog(r);
  if (apiReturn_ == 1) {
    Filename = UpToNul(r.file);
    FileTitle = UpToNul(r.fileTitle);
    flags = static_cast<std::int32_t>(r.flags);
    FilterIndex = r.filterIndex;
    Filter = FilterEntry(r.filter, r.filterIndex);
    return true;
  }
  Filename.clear();
  FileTitle.clear();
  Filter.clear();
  flags = 0;
  FilterIndex = cancelIndex;
  return false;
}

bool GCommonDialog::VBGetOpenFileName(std::string& Filename, std::string& FileTitle,
                                      bool FileMustExist, bool MultiSelect, bool& ReadOnly,
                                      bool HideReadOnly, std::string& Filter,
                                      std::int32_t& FilterIndex, const std::string& InitDir,
                                      const std::string& DlgTitle, const std::string& DefaultExt,
                                      void* Owner, std::int32_t& flags) {
  std::uint32_t chosen = (FileMustExist ? platform::kOfnFileMustExist : 0) |
                         (MultiSelect ? platform::kOfnAllowMultiSelect : 0) |
                         (ReadOnly ? platform::kOfnReadOnly : 0) |
                         (HideReadOnly ? platform::kOfnHideReadOnly : 0);
  bool ok = Run(false, Filename, FileTitle, chosen, Filter, FilterIndex, InitDir, DlgTitle,
                DefaultExt, Owner, flags, -1);
  if (ok) ReadOnly = (static_cast<std::uint32_t>(flags) & platform::kOfnReadOnly) != 0;
  return ok;
}

bool GCommonDialog::VBGetSaveFileName(std::string& Filename, std::string& FileTitle,
                                      bool OverwritePrompt, std::string& Filter,
                                      std::int32_t& FilterIndex, const std::string& InitDir,
                                      const std::string& DlgTitle, const std::string& DefaultExt,
                                      void* Owner, std::int32_t& flags) {
  std::uint32_t chosen = platform::kOfnHideReadOnly |
                         (OverwritePrompt ? platform::kOfnOverwritePrompt : 0);
  return Run(true, Filename, FileTitle, chosen, Filter, FilterIndex, InitDir, DlgTitle,
             DefaultExt, Owner, flags, 0);
}

}  // namespace controls
