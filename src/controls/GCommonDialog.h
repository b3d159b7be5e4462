#pragma once
// The system's Open and Save file dialogs behind two calls with plain
// arguments, all in/out. Both return true when the user confirmed a file;
// on cancel (or failure) the outputs are cleared.
#include <cstdint>
#include <string>

namespace controls {

class GCommonDialog {
 public:
  // The value the last dialog call returned (1 confirmed, 0 cancelled).
  std::int32_t APIReturn() const { return apiReturn_; }

  // `Owner` null means none. On cancel FilterIndex becomes -1.
  bool VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                         bool MultiSelect, bool& ReadOnly, bool HideReadOnly, std::string& Filter,
                         std::int32_t& FilterIndex, const std::string& InitDir,
                         const std::string& DlgTitle, const std::string& DefaultExt, void* Owner,
                         std::int32_t& flags);
  // On cancel FilterIndex becomes 0.
  bool VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool OverwritePrompt,
                         std::string& Filter, std::int32_t& FilterIndex, const std::string& InitDir,
                         const std::string& DlgTitle, const std::string& DefaultExt, void* Owner,
                         std::int32_t& flags);

  // "Desc|*.ext|Desc2|*.e2" in the system's notation: every "|" and ":"
  // becomes a NUL, and two NULs end it.
  static std::string ConvertFilter(const std::string& filter);
  // The `index`-th (1-based) description and pattern joined by a NUL, from
  // a converted filter; "" when there is no such entry.
  static std::string FilterEntry(const std::string& converted, int index);

  static constexpr std::size_t kBufferSize = 260;

 private:
  bool Run(bool save, std::string& Filename, std::string& FileTitle, std::uint32_t chosenFlags,
           std::string& Filter, std::int32_t& FilterIndex, const std::string& InitDir,
           const std::string& DlgTitle, const std::string& DefaultExt, void* Owner,
           std::int32_t& flags, std::int32_t cancelIndex);
  std::int32_t apiReturn_ = 0;
};

}  // namespace controls
