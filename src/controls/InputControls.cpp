#include "controls/InputControls.h"

#include <stdexcept>

#include "controls/window_link.h"

namespace controls {

namespace {
constexpr int kButtonClicked = 0;  // BN_CLICKED
constexpr int kEditChange = 0x300;  // EN_CHANGE
constexpr int kComboSelChange = 1;  // CBN_SELCHANGE
}  // namespace

void TextBox::Text(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  if (Bound() && (unicode_ ? link::GetTextUtf8(hwnd()) : link::GetText(hwnd())) != text) PushState();
  if (Change) Change();
}

void TextBox::OnWindowNotify(int code) {
  if (code == kEditChange) Text(unicode_ ? link::GetTextUtf8(hwnd()) : link::GetText(hwnd()));
}

void TextBox::PushState() {
  if (!unicode_) return link::SetText(hwnd(), text_);
  link::MakeUnicode(hwnd());
  link::SetTextUtf8(hwnd(), text_);
}

void CheckBox::Value(int value) {
  value = value ? 1 : 0;
  if (value == value_) return;
  value_ = value;
  if (Bound()) link::SetCheck(hwnd(), value_ != 0);
  if (Click) Click();
}

void CheckBox::OnWindowNotify(int code) {
  if (code != kButtonClicked) return;
  if (locked_) link::SetCheck(hwnd(), value_ != 0);  // the box the system ticked goes back
  else Value(link::GetCheck(hwnd()) ? 1 : 0);
}

void CheckBox::PushState() {
  Label::PushState();
  link::SetCheck(hwnd(), value_ != 0);
}

OptionArray::OptionArray(int count) : buttons_(count) {}

void OptionArray::Value(int index) {
  if (index < -1 || index >= Count()) throw std::out_of_range("option index");
  if (index == value_) return;
  value_ = index;
  for (int i = 0; i < Count(); ++i)
    if (buttons_[i].Bound()) link::SetCheck(buttons_[i].hwnd(), i == index);
  if (Click && index >= 0) Click(index);
}

void OptionArray::AttachButton(int index, void* hwnd) {
  buttons_.at(index).Attach(hwnd);
  if (hwnd) link::SetCheck(hwnd, index == value_);
}

void OptionArray::OnButtonNotify(int index, int code) {
  if (code == kButtonClicked && link::GetCheck(buttons_.at(index).hwnd())) Value(index);
}

void CheckList::AddItem(const std::string& text, bool checked) {
  items_.push_back(text);
  checks_.push_back(checked);
  if (Bound()) PushState();
}

void CheckList::Fill(std::vector<std::string> items, std::vector<bool> checks) {
  checks.resize(items.size(), false);
  items_ = std::move(items);
  checks_ = std::move(checks);
  listIndex_ = -1;
  if (Bound()) PushState();
}

void CheckList::Clear() {
  items_.clear();
  checks_.clear();
  listIndex_ = -1;
  if (Bound()) PushState();
}

void CheckList::Checked(int index, bool checked) {
  if (checks_.at(index) == checked) return;
  checks_[index] = checked;
  if (Bound() && link::CheckListGetCheck(hwnd(), index) != checked)
    link::CheckListSetCheck(hwnd(), index, checked);
  if (ItemCheck) ItemCheck(index);
}

void CheckList::ListIndex(int index) {
  if (index < -1 || index >= ListCount()) throw std::out_of_range("list index");
  listIndex_ = index;
  if (Bound() && link::CheckListSelection(hwnd()) != index) link::CheckListSelect(hwnd(), index);
  if (Click) Click();
}

void CheckList::OnWindowNotify(int code) {
  if (code < 0 || code >= ListCount()) return;
  const bool checked = link::CheckListGetCheck(hwnd(), code);
  if (checked != checks_[code]) {
    Checked(code, checked);
    ListIndex(code);
    return;
  }
  if (code != listIndex_ && link::CheckListIsSelected(hwnd(), code)) ListIndex(code);
}

void CheckList::PushState() {
  link::CheckListFill(hwnd(), items_, checks_);
  if (listIndex_ >= 0) link::CheckListSelect(hwnd(), listIndex_);
}

void ComboList::AddItem(const std::string& text) {
  items_.push_back(text);
  if (Bound()) PushState();
}

void ComboList::Clear() {
  items_.clear();
  listIndex_ = -1;
  if (Bound()) PushState();
}

void ComboList::ListIndex(int index) {
  if (index < -1 || index >= ListCount()) throw std::out_of_range("list index");
  if (index == listIndex_) return;
  listIndex_ = index;
  if (Bound()) link::ComboSelect(hwnd(), index);
  if (Click) Click();
}

void ComboList::OnWindowNotify(int code) {
  if (code == kComboSelChange) ListIndex(link::ComboSelection(hwnd()));
}

void ComboList::PushState() {
  link::ComboFill(hwnd(), items_);
  link::ComboSelect(hwnd(), listIndex_);
}

}  // namespace controls
