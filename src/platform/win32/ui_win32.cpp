// The real user: MessageBoxA, the common file dialogs, real modal windows.
#include <windows.h>
#include <commdlg.h>

#include "platform/ui.h"

namespace platform {

namespace {
class RealUser : public UserInterface {
 public:
  int ShowMessage(const std::string& text, unsigned style, const std::string& title,
                 void* owner) override {
    // A box without an owner still holds the program's windows while it is
    // up: otherwise the wizard's buttons could be pressed behind it.
    UINT modality = owner ? 0 : MB_TASKMODAL;
    return ::MessageBoxA(static_cast<HWND>(owner), text.c_str(), title.c_str(),
                         style | modality | MB_SETFOREGROUND);
  }

  int ShowFileDialog(FileDialogRecord& r) override {
    OPENFILENAMEA ofn;
    ::ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the classic record
    ofn.hwndOwner = static_cast<HWND>(r.owner);
    ofn.lpstrFilter = r.filter.empty() ? nullptr : r.filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(r.filterIndex);
    ofn.lpstrFile = &r.file[0];
    ofn.nMaxFile = static_cast<DWORD>(r.file.size());
    ofn.lpstrFileTitle = &r.fileTitle[0];
    ofn.nMaxFileTitle = static_cast<DWORD>(r.fileTitle.size());
    ofn.lpstrInitialDir = r.initDir.empty() ? nullptr : r.initDir.c_str();
    ofn.lpstrTitle = r.title.empty() ? nullptr : r.title.c_str();
    ofn.Flags = r.flags;
    ofn.lpstrDefExt = r.defaultExt.empty() ? nullptr : r.defaultExt.c_str();
    BOOL ok = r.save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn);
    r.flags = ofn.Flags;
    r.filterIndex = static_cast<std::int32_t>(ofn.nFilterIndex);
    return ok ? 1 : 0;
  }

  int ShowModal(ModalForm& form, void* owner) override { return form.ShowReal(owner); }
};
}  // namespace

UserInterface& RealUi() {
  static RealUser ui;
  return ui;
}

}  // namespace platform
