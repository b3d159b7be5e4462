#include "controls/HotLink.h"

#include "platform/system.h"
#include "helpers/appinfo.h"

namespace controls {

HotLink::HotLink() : caption_(appinfo::kWebSite) {
  timer1_.Interval(500);
  timer1_.Tick = [this] { hovering_ = false; };
}

void HotLink::Caption(const std::string& text) {
  caption_ = text;
  Refresh();
}

void HotLink::Shell(const std::string& lpFile, const std::string& lpParameters,
                    const std::string& lpDirectory, std::int32_t nShowCmd) {
  platform::ShellRun(hwnd_, "", lpFile, lpParameters, lpDirectory, nShowCmd);
}

void HotLink::MouseMove(int button, int shift, int x, int y, int width, int height) {
  if (OnMouseMove) OnMouseMove(button, shift, x, y);
  const bool inside = x >= 0 && x <= width && y >= 0 && y <= height;
  if (inside) {
    if (hovering_) return;
    hovering_ = true;
    if (MouseEnter) MouseEnter();
    if (CaptureMouseFor(hwnd_)) {
      hoverLook_ = true;
      Caption(caption_);  // set again so the size follows the hover font
    }
  } else {
    hovering_ = false;
    if (MouseExist) MouseExist();
    if (ReleaseMouseFrom(hwnd_)) {
      hoverLook_ = false;
      Caption(caption_);
    }
  }
}

void HotLink::MouseDown(int button, int shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(button, shift, x, y);
}
void HotLink::MouseUp(int button, int shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(button, shift, x, y);
}
void HotLink::DoClick() {
  if (enabled_ && Click) Click();
}

void HotLink::Attach(void* hwnd) {
  hwnd_ = hwnd;
  Refresh();
}

void HotLink::Run() { timer1_.Enabled(true); }

void HotLink::Refresh() {
  if (hwnd_) RefreshHotLink(*this);
}

}  // namespace controls
