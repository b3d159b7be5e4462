#pragma once
// Control objects: the state of one control of a page or form. Unbound they
// hold their state in memory, so page logic runs without windows (tests, the
// unattended run); bound to a real window they mirror it both ways. Setting a
// value from code raises the control's event just as the user's click does.
#include <functional>
#include <string>

namespace controls {

class Control {
 public:
  Control() = default;
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  bool Visible() const { return visible_; }
  void Visible(bool visible);
  bool Enabled() const { return enabled_; }
  void Enabled(bool enabled);
  // Headless this only records that the control asked for the focus.
  void SetFocus();
  bool HasFocus() const { return focused_; }

  // Binding to a real window (not owned). The object's state is written
  // into the window at once.
  void Attach(void* hwnd);
  void Detach() { hwnd_ = nullptr; }
  void* hwnd() const { return hwnd_; }
  bool Bound() const { return hwnd_ != nullptr; }

  // The window reported a change (a command or notification code): read
  // the user's action back and raise the event.
  virtual void OnWindowNotify(int code) {}

 protected:
  // Writes the object's whole state into its window.
  virtual void PushState() {}

 private:
  void* hwnd_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  bool focused_ = false;
};

// Static text.
class Label : public Control {
 public:
  const std::string& Caption() const { return caption_; }
  void Caption(const std::string& text);

 protected:
  void PushState() override;

 private:
  std::string caption_;
};

// A group box around other controls.
class Frame : public Label {};

class CommandButton : public Label {
 public:
  bool Default() const { return default_; }
  void Default(bool isDefault);
  std::function<void()> Click;
  // The user (or code acting as the user) presses the button.
  void Press();
  void OnWindowNotify(int code) override;

 protected:
  void PushState() override;

 private:
  bool default_ = false;
};

// A picture from the program's bitmap resources.
class Image : public Control {
 public:
  int Picture() const { return picture_; }
  void Picture(int bitmapId);

 protected:
  void PushState() override;

 private:
  int picture_ = 0;
};

}  // namespace controls
