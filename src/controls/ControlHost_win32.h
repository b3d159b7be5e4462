#pragma once
// The binder of one real dialog: ties control objects to the dialog's
// controls and routes the dialog's notifications back to them.
#include <windows.h>

#include <map>
#include <utility>

#include "controls/ControlBinder.h"

namespace controls {

class ControlHost : public ControlBinder {
 public:
  explicit ControlHost(HWND dialog) : dialog_(dialog) {}
  HWND Dialog() const { return dialog_; }

  void Bind(Control& control, int id) override;
  void BindOptions(OptionArray& options, const std::vector<int>& ids) override;
  void BindProgressBar(ProgressBar& bar, int id) override;
  void BindHotLink(HotLink& link, int id) override;
  void ShowRichText(int id, const std::string& rtf) override;

  // WM_COMMAND, WM_NOTIFY and the scroll bars' WM_VSCROLL/WM_HSCROLL of the
  // dialog: true when a bound control took it.
  bool Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  // Unbinds every object this host bound (the dialog is going away); the
  // objects keep their state.
  void DetachAll();
  // Whether `id` is a bound control of this dialog.
  bool Has(int id) const { return controls_.count(id) || options_.count(id); }

 private:
  HWND dialog_;
  std::map<int, Control*> controls_;
  std::map<int, std::pair<OptionArray*, int>> options_;
  std::vector<ProgressBar*> bars_;
  std::vector<HotLink*> links_;
};

// Loads the rich-text control library once (class "RichEdit20A").
void LoadRichTextLibrary();

}  // namespace controls
