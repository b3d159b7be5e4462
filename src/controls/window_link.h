#pragma once
// The window side of a bound control object: thin calls on a real window
// handle. Implemented with the Windows API in the win64 build; the native
// build has no real windows, so its implementation does nothing (objects
// there are never bound).
#include <string>
#include <vector>

namespace controls::link {

void SetText(void* h, const std::string& text);
std::string GetText(void* h);
// The same in UTF-8, for a window made to take any character (MakeUnicode).
void SetTextUtf8(void* h, const std::string& text);
std::string GetTextUtf8(void* h);
void MakeUnicode(void* h);
void SetVisible(void* h, bool visible);
void SetEnabled(void* h, bool enabled);
void SetFocus(void* h);
void SetCheck(void* h, bool checked);
bool GetCheck(void* h);
// Makes a push button the dialog's default button (or an ordinary one).
void SetDefaultButton(void* h, bool isDefault);

// Drop-down list (combo box).
void ComboFill(void* h, const std::vector<std::string>& items);
void ComboSelect(void* h, int index);  // -1: none
int ComboSelection(void* h);

// List with check boxes (list view with check boxes, one column).
void CheckListFill(void* h, const std::vector<std::string>& items, const std::vector<bool>& checks);
void CheckListSetCheck(void* h, int index, bool checked);
bool CheckListGetCheck(void* h, int index);
int CheckListSelection(void* h);
void CheckListSelect(void* h, int index);  // highlights and focuses the row
bool CheckListIsSelected(void* h, int index);

// Image: a bitmap resource of the program.
void ImageShow(void* h, int bitmapId);

}  // namespace controls::link
