#pragma once
// How a page or form ties its control objects to the controls of its dialog
// template, by control id. The real window supplies one; headless nobody
// calls Bind, and the objects stay unbound.
#include <vector>

#include "controls/Control.h"
#include "controls/HotLink.h"
#include "controls/InputControls.h"
#include "controls/ProgressBar.h"

namespace controls {

class ControlBinder {
 public:
  virtual ~ControlBinder() = default;
  virtual void Bind(Control& control, int id) = 0;
  virtual void BindOptions(OptionArray& options, const std::vector<int>& ids) = 0;
  virtual void BindProgressBar(ProgressBar& bar, int id) = 0;
  virtual void BindHotLink(HotLink& link, int id) = 0;
  // A rich-text box filled with an RTF document.
  virtual void ShowRichText(int id, const std::string& rtf) = 0;
};

}  // namespace controls
