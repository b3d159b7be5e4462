#pragma once
// A one-line link: changes colour and font while the mouse is over it,
// shows a hand pointer, and opens documents, web or mail addresses through
// the shell.
#include <cstdint>
#include <functional>
#include <string>

#include "controls/Timer.h"

namespace controls {

class HotLink {
 public:
  HotLink();
  HotLink(const HotLink&) = delete;
  HotLink& operator=(const HotLink&) = delete;

  const std::string& Caption() const { return caption_; }
  void Caption(const std::string& text);
  std::uint32_t NormalColor() const { return normalColor_; }
  void NormalColor(std::uint32_t c) { normalColor_ = c; Refresh(); }
  std::uint32_t HoverColor() const { return hoverColor_; }
  void HoverColor(std::uint32_t c) { hoverColor_ = c; Refresh(); }
  // Fonts are window-system font handles; null means the container's font
  // (underlined while hovering).
  void* DefFont() const { return defFont_; }
  void DefFont(void* f) { defFont_ = f; Refresh(); }
  void* HoverFont() const { return hoverFont_; }
  void HoverFont(void* f) { hoverFont_ = f; Refresh(); }
  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t c) { backColor_ = c; Refresh(); }
  bool AutoSize() const { return autoSize_; }
  void AutoSize(bool b) { autoSize_ = b; Refresh(); }
  bool MouseP() const { return mouseP_; }
  void MouseP(bool b) { mouseP_ = b; }
  bool Enabled() const { return enabled_; }
  void Enabled(bool b) { enabled_ = b; Refresh(); }

  // The look in force: colour and whether the hover font applies.
  bool Hovering() const { return hovering_; }
  bool HoverLook() const { return hoverLook_; }
  std::uint32_t CurrentColor() const { return hoverLook_ ? hoverColor_ : normalColor_; }
  // Pointer kind over the link: 99 the custom hand, 0 the default arrow.
  int MousePointer() const { return mouseP_ ? 99 : 0; }

  // Opens `lpFile` with the shell's default verb, the control's window as owner.
  void Shell(const std::string& lpFile, const std::string& lpParameters,
             const std::string& lpDirectory, std::int32_t nShowCmd);

  // Mouse input in the control's pixels; `width`/`height` its size.
  void MouseMove(int button, int shift, int x, int y, int width, int height);
  void MouseDown(int button, int shift, int x, int y);
  void MouseUp(int button, int shift, int x, int y);
  void DoClick();

  std::function<void()> MouseExist, Click, MouseEnter;
  std::function<void(int button, int shift, int x, int y)> OnMouseDown, OnMouseMove, OnMouseUp;

  // Binding: the window of class "QmHotLink" that shows this link.
  void Attach(void* hwnd);
  void* hwnd() const { return hwnd_; }
  // Starts the timer that clears the hovering flag (at run time only).
  void Run();

 private:
  void Refresh();
  std::string caption_;
  std::uint32_t normalColor_ = 0, hoverColor_ = 0xFF0000, backColor_ = 0x8000000F;
  void* defFont_ = nullptr;
  void* hoverFont_ = nullptr;
  bool autoSize_ = true, mouseP_ = true, enabled_ = true;
  bool hovering_ = false, hoverLook_ = false;
  void* hwnd_ = nullptr;
  Timer timer1_;
};

// Window side (win64; no-ops natively).
void RegisterHotLinkClass();
void RefreshHotLink(HotLink& link);
// Captures the mouse for the link's window: true when no other window held it.
bool CaptureMouseFor(void* hwnd);
// Releases the capture: true when released.
bool ReleaseMouseFrom(void* hwnd);

}  // namespace controls
