#pragma once
// The backup selection page: which identities take part and, per identity,
// which kinds of data are saved. Every change of a check box is written back
// into the catalogue's Detail list at once; CheckReady writes SelectIdentity
// and counts the identities taking part.
#include <cstdint>
#include <string>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "wizard/WizardPage.h"

// The line added to the page's note for identities that start unticked.
constexpr const char kNoDataNote[] = "- Not ticked, no data found yet (open Outlook Express as them first): ";

class ucBack1 : public wizard::SelectionPage {
 public:
  ucBack1();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  // Fills the identity list from the catalogue, once per window.
  void LoadIdenList() override;
  // Ticks the identity of that exact name and the detail rows whose field
  // in `detail` is "1"; nothing is unticked.
  void SelectItem(const std::string& name, const std::string& detail);
  bool CheckReady() override;
  std::int32_t TotalItem() const override { return totalItem_; }

  controls::Label lblTitle, lblIdentities, lblDetail, lblNote;
  controls::CheckList lstIdentity;
  controls::CheckList lstDetail;

 private:
  void ShowCurrentFlags();            // the current identity row changed
  void DetailTicked();                // a detail row's box changed
  void IdentityTicked(int row);       // an identity row's box changed
  void StoreFlags(int row, const std::string& flags);

  bool busy_ = false;
  std::int32_t totalItem_ = 0;
};
