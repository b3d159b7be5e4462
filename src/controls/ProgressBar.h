#pragma once
// The program's own progress bar: clamps its value, builds its caption from
// a mask, and paints itself double-buffered when bound to a window.
#include <cstdint>
#include <string>

namespace controls {

class ProgressBar {
 public:
  ProgressBar() { UseDefaultProperties(true); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  double Min() const { return min_; }
  // A new range keeps the value inside it.
  void Min(double v) { min_ = v; RangeChanged(); }
  double Max() const { return max_; }
  void Max(double v) { max_ = v; RangeChanged(); }
  double value() const { return value_; }
  void value(double v);

  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t c) { backColor_ = c; Refresh(); }
  std::uint32_t BarColor() const { return barColor_; }
  void BarColor(std::uint32_t c) { barColor_ = c; Refresh(); }
  bool ShowCaption() const { return showCaption_; }
  void ShowCaption(bool b) { showCaption_ = b; Refresh(); }
  std::uint32_t CaptionColor() const { return captionColor_; }
  void CaptionColor(std::uint32_t c) { captionColor_ = c; Refresh(); }
  bool UseCaptionColor() const { return useCaptionColor_; }
  void UseCaptionColor(bool b) { useCaptionColor_ = b; Refresh(); }
  std::int32_t CaptionType() const { return captionType_; }
  void CaptionType(std::int32_t t) { captionType_ = t; Changed(); }
  const std::string& CaptionMask() const { return captionMask_; }
  void CaptionMask(const std::string& m) { captionMask_ = m; Changed(); }
  std::int32_t CaptionAlignment() const { return captionAlignment_; }
  void CaptionAlignment(std::int32_t a) { captionAlignment_ = a; Refresh(); }
  std::int32_t CaptionOffsetX() const { return offsetX_; }
  void CaptionOffsetX(std::int32_t x) { offsetX_ = x; Refresh(); }
  std::int32_t CaptionOffsetY() const { return offsetY_; }
  void CaptionOffsetY(std::int32_t y) { offsetY_ = y; Refresh(); }
  std::int32_t Direction() const { return direction_; }
  void Direction(std::int32_t d);
  bool Vertical() const { return vertical_; }
  bool SmoothScrolling() const { return smooth_; }
  void SmoothScrolling(bool b) { smooth_ = b; Refresh(); }
  // The caption font: a font handle of the window system, null for the container's.
  void* Font() const { return font_; }
  void Font(void* font) { font_ = font; Refresh(); }
  bool UseDefaultProperties() const { return useDefaults_; }
  // True restores every default.
  void UseDefaultProperties(bool b);

  void* hwnd() const { return hwnd_; }
  const std::string& Caption() const { return caption_; }

  void Inc(double amount) { value(value_ + amount); }
  void Dec(double amount) { value(value_ - amount); }
  void Reset() { value(min_); }
  void Refresh();

  // Builds the caption from the mask (and lifts Max above Min first).
  void BuildCaption();
  // Pixels of the filled part for a control `extent` pixels long.
  int FillLength(int extent) const;

  // Binding: the window of class "QmProgressBar" that shows this bar.
  void Attach(void* hwnd);

 private:
  void Changed() { BuildCaption(); Refresh(); }
  void RangeChanged();

  double min_, max_, value_;
  std::uint32_t backColor_, barColor_, captionColor_;
  bool showCaption_, useCaptionColor_, smooth_, useDefaults_ = true, vertical_ = false;
  std::int32_t captionType_, captionAlignment_, offsetX_, offsetY_, direction_;
  std::string captionMask_, caption_;
  void* font_ = nullptr;
  void* hwnd_ = nullptr;
};

// The number as the system's default number-to-text conversion writes it
// ("7", "7.5", "-0.25").
std::string NumberText(double v);

// Registers the window class that bound progress bars use (win64 only; a
// no-op natively).
void RegisterProgressBarClass();
// Paints `bar` into its window through an off-screen bitmap.
void PaintProgressBar(ProgressBar& bar);

}  // namespace controls
