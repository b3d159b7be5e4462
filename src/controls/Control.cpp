#include "controls/Control.h"

#include "controls/window_link.h"

namespace controls {

void Control::Visible(bool visible) {
  visible_ = visible;
  if (Bound()) link::SetVisible(hwnd_, visible);
}

void Control::Enabled(bool enabled) {
  enabled_ = enabled;
  if (Bound()) link::SetEnabled(hwnd_, enabled);
}

void Control::SetFocus() {
  focused_ = true;
  if (Bound()) link::SetFocus(hwnd_);
}

void Control::Attach(void* hwnd) {
  hwnd_ = hwnd;
  if (!hwnd_) return;
  link::SetVisible(hwnd_, visible_);
  link::SetEnabled(hwnd_, enabled_);
  PushState();
}

void Label::Caption(const std::string& text) {
  caption_ = text;
  if (Bound()) link::SetText(hwnd(), text);
}

void Label::PushState() { link::SetText(hwnd(), caption_); }

void CommandButton::Default(bool isDefault) {
  default_ = isDefault;
  if (Bound()) link::SetDefaultButton(hwnd(), isDefault);
}

void CommandButton::Press() {
  if (!Enabled()) return;
  if (Click) Click();
}

void CommandButton::OnWindowNotify(int code) {
  if (code == 0) Press();  // BN_CLICKED
}

void CommandButton::PushState() {
  Label::PushState();
  if (default_) link::SetDefaultButton(hwnd(), true);
}

void Image::Picture(int bitmapId) {
  picture_ = bitmapId;
  if (Bound()) link::ImageShow(hwnd(), bitmapId);
}

void Image::PushState() {
  if (picture_) link::ImageShow(hwnd(), picture_);
}

}  // namespace controls
