#pragma once
// Controls the user changes: text box, check box, option-button array,
// list with check boxes, drop-down list. Each raises its event whenever its
// value changes, whether the user or code changed it.
#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace controls {

// One-line, multi-line or password text box (the kind is the window's
// style; the object holds the text alone).
class TextBox : public Control {
 public:
  const std::string& Text() const { return text_; }
  void Text(const std::string& text);
  // Before binding: the box takes any character and its text is UTF-8 (a
  // password typed in a script the code page lacks stays what was typed).
  void Unicode(bool unicode) { unicode_ = unicode; }
  std::function<void()> Change;
  void OnWindowNotify(int code) override;

 protected:
  void PushState() override;

 private:
  std::string text_;
  bool unicode_ = false;
};

class CheckBox : public Label {
 public:
  int Value() const { return value_; }  // 0 unticked, 1 ticked
  void Value(int value);
  // A locked box shows what the program found out: a click or a key leaves
  // it as it was (code still sets it).
  bool Locked() const { return locked_; }
  void Locked(bool locked) { locked_ = locked; }
  std::function<void()> Click;
  void OnWindowNotify(int code) override;

 protected:
  void PushState() override;

 private:
  int value_ = 0;
  bool locked_ = false;
};

// Option buttons sharing one name, told apart by their index; exactly one
// (or, at first, none) is chosen.
class OptionArray : public Control {
 public:
  explicit OptionArray(int count);
  int Count() const { return static_cast<int>(buttons_.size()); }
  Label& Button(int index) { return buttons_.at(index); }
  // The chosen index, -1 when none.
  int Value() const { return value_; }
  void Value(int index);
  std::function<void(int index)> Click;
  // Binding: one window per button.
  void AttachButton(int index, void* hwnd);
  void OnButtonNotify(int index, int code);

 private:
  std::vector<Label> buttons_;
  int value_ = -1;
};

class CheckList : public Control {
 public:
  void AddItem(const std::string& text, bool checked = false);
  // Replaces every entry at once (one refill of a bound window).
  void Fill(std::vector<std::string> items, std::vector<bool> checks);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const { return items_.at(index); }
  bool Checked(int index) const { return checks_.at(index); }
  void Checked(int index, bool checked);
  // The current (highlighted) row, -1 when none. Setting it from code raises
  // `Click` even when the row was current already, as the system's list box
  // does; the user's click on another row raises it too. Ticking a row's box
  // from code leaves the current row alone.
  int ListIndex() const { return listIndex_; }
  void ListIndex(int index);
  std::function<void(int index)> ItemCheck;
  std::function<void()> Click;
  // code: the item whose check or selection changed. A box the user ticked
  // also makes its row the current one.
  void OnWindowNotify(int code) override;

 protected:
  void PushState() override;

 private:
  std::vector<std::string> items_;
  std::vector<bool> checks_;
  int listIndex_ = -1;
};

class ComboList : public Control {
 public:
  void AddItem(const std::string& text);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const { return items_.at(index); }
  int ListIndex() const { return listIndex_; }
  void ListIndex(int index);
  std::string Text() const { return listIndex_ < 0 ? std::string() : items_[listIndex_]; }
  std::function<void()> Click;
  void OnWindowNotify(int code) override;

 protected:
  void PushState() override;

 private:
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

}  // namespace controls
