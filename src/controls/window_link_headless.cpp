// The native build has no real windows: control objects are never bound
// there, and these calls do nothing.
#include "controls/window_link.h"

namespace controls::link {

void SetText(void*, const std::string&) {}
std::string GetText(void*) { return std::string(); }
void SetTextUtf8(void*, const std::string&) {}
std::string GetTextUtf8(void*) { return std::string(); }
void MakeUnicode(void*) {}
void SetVisible(void*, bool) {}
void SetEnabled(void*, bool) {}
void SetFocus(void*) {}
void SetCheck(void*, bool) {}
bool GetCheck(void*) { return false; }
void SetDefaultButton(void*, bool) {}
void ComboFill(void*, const std::vector<std::string>&) {}
void ComboSelect(void*, int) {}
int ComboSelection(void*) { return -1; }
void CheckListFill(void*, const std::vector<std::string>&, const std::vector<bool>&) {}
void CheckListSetCheck(void*, int, bool) {}
bool CheckListGetCheck(void*, int) { return false; }
int CheckListSelection(void*) { return -1; }
void CheckListSelect(void*, int) {}
bool CheckListIsSelected(void*, int) { return false; }
void ImageShow(void*, int) {}

}  // namespace controls::link
