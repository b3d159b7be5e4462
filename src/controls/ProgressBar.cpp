#include "controls/ProgressBar.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace controls {

namespace {

// Replaces every `placeholder` in `text`, letters compared without case.
void ReplaceNoCase(std::string& text, const std::string& placeholder, const std::string& with) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string key = lower(placeholder);
  std::string::size_type at = 0;
  while ((at = lower(text).find(key, at)) != std::string::npos) {
    text.replace(at, placeholder.size(), with);
    at += with.size();
  }
}

}  // namespace

std::string NumberText(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

void ProgressBar::UseDefaultProperties(bool b) {
  useDefaults_ = b;
  if (!b) return;
  min_ = 0;
  max_ = 100;
  value_ = 50;
  backColor_ = 15594226;
  barColor_ = 12941855;
  showCaption_ = true;
  captionColor_ = 0;
  useCaptionColor_ = false;
  captionType_ = 0;
  captionMask_ = "%Val";
  captionAlignment_ = 37;
  offsetX_ = offsetY_ = 0;
  direction_ = 0;
  vertical_ = false;
  smooth_ = true;
  font_ = nullptr;
  Changed();
}

void ProgressBar::value(double v) {
  if (v > max_) v = max_;
  if (v < min_) v = min_;
  value_ = v;
  Changed();
}

void ProgressBar::RangeChanged() {
  BuildCaption();  // lifts Max above Min
  value(value_);
}

void ProgressBar::Direction(std::int32_t d) {
  direction_ = d;
  vertical_ = d == 2 || d == 3;
  Refresh();
}

void ProgressBar::BuildCaption() {
  if (max_ <= min_) max_ = min_ + 1;
  const double range = max_ - min_;
  std::string val;
  switch (captionType_) {
    case 1: {
      char buf[48];
      std::snprintf(buf, sizeof buf, "%.2f%%", value_ / range * 100.0);
      val = buf;
      break;
    }
    case 2: val = NumberText(value_); break;
    case 3: val = NumberText(std::floor(value_)) + "/" + NumberText(max_); break;
    default: val = NumberText(std::floor(value_ * 100.0 / range)) + "%"; break;
  }
  std::string caption = captionMask_;
  ReplaceNoCase(caption, "%Max", NumberText(max_));
  ReplaceNoCase(caption, "%Min", NumberText(min_));
  ReplaceNoCase(caption, "%Val", val);
  caption_ = caption;
}

int ProgressBar::FillLength(int extent) const {
  const double range = max_ > min_ ? max_ - min_ : 1;
  const int room = extent - 4;  // two pixels stay free at each end
  if (room <= 0) return 0;
  double len = room * value_ / range;
  if (len < 0) len = 0;
  if (len > room) len = room;
  return static_cast<int>(len);
}

void ProgressBar::Attach(void* hwnd) {
  hwnd_ = hwnd;
  Refresh();
}

void ProgressBar::Refresh() {
  if (hwnd_) PaintProgressBar(*this);
}

}  // namespace controls
