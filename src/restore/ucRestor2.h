#pragma once
// The restore mapping page: for each identity saved in the archive, whether
// it is restored, onto which identity of this machine, and which of its
// saved items. Every change is written into the restore plan at once.
#include <string>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "wizard/WizardPage.h"

class ucRestor2 : public wizard::RestoreMappingPage {
 public:
  ucRestor2();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  void LoadIDList() override;
  bool CheckReady() override;

  controls::Label lblTitle;
  controls::Frame fmeFrom, fmeTo, fmeItems;
  controls::CheckList lstID;
  controls::ComboList cobToID;
  controls::CheckBox chkItem[6];

  static constexpr const char kNoTarget[] = "-- Selete an Identity --";
  static constexpr const char kTargetFirstMessage[] = "Please select a Target Identity first!         ";
  static constexpr const char kChooseOneMessage[] = "You must choose at least one identity to restore! ";
  static constexpr const char kSameTargetMessage[] =
      "Two identities of the backup are to be restored onto the same identity. Please choose another target "
      "identity for this one:";

 private:
  void ShowRecord();
  void EntryTicked(int index);
  void TargetChosen();
  void ItemClicked(int k);
  bool NoTarget() const { return cobToID.ListIndex() < 0 || cobToID.ListIndex() == cobToID.ListCount() - 1; }
  void ChooseNoTarget() { cobToID.ListIndex(cobToID.ListCount() - 1); }

  bool busy_ = false;
};
