#include "controls/ControlHost_win32.h"

#include <commctrl.h>
#include <richedit.h>

namespace controls {

void LoadRichTextLibrary() {
  static HMODULE lib = ::LoadLibraryA("riched20.dll");
  (void)lib;
}

void ControlHost::Bind(Control& control, int id) {
  HWND h = ::GetDlgItem(dialog_, id);
  if (!h) return;
  controls_[id] = &control;
  control.Attach(h);
}

void ControlHost::BindOptions(OptionArray& options, const std::vector<int>& ids) {
  for (size_t i = 0; i < ids.size() && static_cast<int>(i) < options.Count(); ++i) {
    HWND h = ::GetDlgItem(dialog_, ids[i]);
    if (!h) continue;
    options_[ids[i]] = {&options, static_cast<int>(i)};
    options.AttachButton(static_cast<int>(i), h);
  }
}

void ControlHost::BindProgressBar(ProgressBar& bar, int id) {
  if (HWND h = ::GetDlgItem(dialog_, id)) {
    bars_.push_back(&bar);
    bar.Attach(h);
  }
}

void ControlHost::BindHotLink(HotLink& link, int id) {
  if (HWND h = ::GetDlgItem(dialog_, id)) {
    links_.push_back(&link);
    link.Attach(h);
    link.Run();
  }
}

void ControlHost::ShowRichText(int id, const std::string& rtf) {
  HWND h = ::GetDlgItem(dialog_, id);
  if (!h) return;
  ::SendMessageA(h, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_WINDOW)));
  SETTEXTEX st = {ST_DEFAULT, CP_ACP};
  ::SendMessageA(h, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&st), reinterpret_cast<LPARAM>(rtf.c_str()));
}

void ControlHost::DetachAll() {
  for (auto& entry : controls_) entry.second->Detach();
  for (auto& entry : options_) entry.second.first->Button(entry.second.second).Detach();
  for (ProgressBar* bar : bars_) bar->Attach(nullptr);
  for (HotLink* link : links_) link->Attach(nullptr);
  controls_.clear();
  options_.clear();
  bars_.clear();
  links_.clear();
}

bool ControlHost::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    auto opt = options_.find(id);
    if (opt != options_.end()) {
      opt->second.first->OnButtonNotify(opt->second.second, code);
      return true;
    }
    auto it = controls_.find(id);
    if (it == controls_.end()) return false;
    it->second->OnWindowNotify(code);
    return true;
  }
  if ((msg == WM_VSCROLL || msg == WM_HSCROLL) && lp) {  // from a scroll bar control
    auto it = controls_.find(::GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
    if (it == controls_.end()) return false;
    it->second->OnWindowNotify(LOWORD(wp));
    return true;
  }
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    auto it = controls_.find(static_cast<int>(hdr->idFrom));
    if (it == controls_.end()) return false;
    if (hdr->code == LVN_ITEMCHANGED) {
      auto* lv = reinterpret_cast<NMLISTVIEW*>(lp);
      const UINT changed = lv->uNewState ^ lv->uOldState;
      const bool ticked = changed & LVIS_STATEIMAGEMASK;
      const bool selected = (changed & LVIS_SELECTED) && (lv->uNewState & LVIS_SELECTED);
      if (lv->uChanged & LVIF_STATE && (ticked || selected)) it->second->OnWindowNotify(lv->iItem);
    }
    return true;
  }
  return false;
}

}  // namespace controls
