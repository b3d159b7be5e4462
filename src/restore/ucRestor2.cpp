#include "restore/ucRestor2.h"

#include <array>
#include <set>

#include "catalog/ItemFlags.h"
#include "controls/BusyScope.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "resources/resource.h"
#include "catalog/SharedObjects.h"

namespace {

const char* const kItemCaptions[ItemFlags::kItemCount] = {
    "E-&Mail && News Messages", "Acc&ounts",        "Address Boo&k",
    "Mail && News R&ules",      "B&locked Senders", "Si&gnatures",
};

}  // namespace

ucRestor2::ucRestor2() {
  lblTitle.Caption("Choose identities to restore");
  fmeFrom.Caption("Restore &from:");
  fmeTo.Caption("Restore &to identity:");
  fmeItems.Caption("Items to restore");
  for (int k = 0; k < ItemFlags::kItemCount; ++k) {
    chkItem[k].Caption(kItemCaptions[k]);
    chkItem[k].Click = [this, k] { ItemClicked(k); };
  }
  lstID.Click = [this] { ShowRecord(); };
  lstID.ItemCheck = [this](int index) { EntryTicked(index); };
  cobToID.Click = [this] { TargetChosen(); };
}

int ucRestor2::TemplateId() const { return IDD_RESTOR2; }

void ucRestor2::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_RESTOR2_TITLE);
  binder.Bind(fmeFrom, IDC_RESTOR2_FROMFRAME);
  binder.Bind(lstID, IDC_RESTOR2_IDLIST);
  binder.Bind(fmeTo, IDC_RESTOR2_TOFRAME);
  binder.Bind(cobToID, IDC_RESTOR2_TOID);
  binder.Bind(fmeItems, IDC_RESTOR2_ITEMFRAME);
  for (int k = 0; k < ItemFlags::kItemCount; ++k) binder.Bind(chkItem[k], IDC_RESTOR2_ITEM0 + k);
}

void ucRestor2::LoadIDList() {
  const clsRestore& plan = shared::RestorePlan();
  const cProcessItem& items = shared::Catalogue();
  {
    controls::BusyScope busy(busy_);
    std::vector<std::string> names;
    std::vector<bool> ticks;
    for (std::int32_t i = 1; i <= plan.Count(); ++i) {
      names.push_back(plan.GetItemValue(clsRestore::IDName, i));
      ticks.push_back(plan.GetItemValue(clsRestore::Selected, i) == "True");
    }
    lstID.Fill(std::move(names), std::move(ticks));  // one fill of the window, whatever the count
    cobToID.Clear();
    for (std::int32_t j = 1; j <= items.Identities().Count(); ++j) cobToID.AddItem(items.Identities().At(j));
    cobToID.AddItem(kNoTarget);
    if (lstID.ListCount() == 0 || !lstID.Checked(0)) ChooseNoTarget();
  }
  if (lstID.ListCount() > 0) lstID.ListIndex(0);
}

void ucRestor2::ShowRecord() {
  if (busy_) return;
  const int row = lstID.ListIndex();
  if (row < 0) return;
  controls::BusyScope busy(busy_);
  clsRestore& plan = shared::RestorePlan();
  const std::int32_t i = row + 1;
  const std::string target = plan.GetItemValue(clsRestore::ToIDName, i);
  int shown = -1;
  for (int j = 0; j + 1 < cobToID.ListCount() && shown < 0 && !target.empty(); ++j)
    if (cobToID.List(j) == target) shown = j;
  if (shown >= 0) cobToID.ListIndex(shown);
  else ChooseNoTarget();
  const std::string saved = plan.GetItemValue(clsRestore::IDDetail, i);
  const std::string chosen = plan.GetItemValue(clsRestore::ToRestoreDetail, i);
  for (int k = 0; k < ItemFlags::kItemCount; ++k) {
    chkItem[k].Enabled(ItemFlags::IsOne(saved, k + 1));
    chkItem[k].Value(ItemFlags::IsOne(chosen, k + 1) ? 1 : 0);
  }
  if (lstID.Checked(row) && NoTarget()) {
    plan.SetItemValue(clsRestore::ToRestoreDetail, ItemFlags::kNone, i);
    for (auto& box : chkItem) box.Value(0);
    lstID.Checked(row, false);
    platform::MsgBox(kTargetFirstMessage, platform::kOkOnly | platform::kInformation);
  }
}

// The entry's own record gets the items, taken from what its backup holds,
// not from the boxes: the list raises this before it moves the current row,
// so the boxes may still show another record.
void ucRestor2::EntryTicked(int index) {
  if (index < 0 || index >= lstID.ListCount() || busy_) return;
  controls::BusyScope busy(busy_);
  platform::DoEvents();
  clsRestore& plan = shared::RestorePlan();
  const std::int32_t i = index + 1;
  bool ticked = lstID.Checked(index);
  if (ticked && plan.GetItemValue(clsRestore::ToID, i).empty()) {
    lstID.Checked(index, false);
    ticked = false;
    platform::MsgBox(kTargetFirstMessage, platform::kOkOnly | platform::kInformation);
  }
  const std::string saved = plan.GetItemValue(clsRestore::IDDetail, i);
  std::array<bool, ItemFlags::kItemCount> set{};
  for (int k = 0; k < ItemFlags::kItemCount; ++k) {
    set[static_cast<std::size_t>(k)] = ticked && ItemFlags::IsOne(saved, k + 1);
    if (index == lstID.ListIndex()) chkItem[k].Value(set[static_cast<std::size_t>(k)] ? 1 : 0);
  }
  plan.SetItemValue(clsRestore::ToRestoreDetail, ItemFlags::Build(set), i);
  plan.SetItemValue(clsRestore::Selected, ticked ? "True" : "False", i);
}

void ucRestor2::TargetChosen() {
  if (busy_) return;
  controls::BusyScope busy(busy_);
  clsRestore& plan = shared::RestorePlan();
  const cProcessItem& items = shared::Catalogue();
  const int row = lstID.ListIndex();
  const std::string shown = cobToID.Text();
  for (std::int32_t i = 1; i <= plan.Count(); ++i) {
    if (i == row + 1) {
      if (NoTarget()) {
        for (auto& box : chkItem) box.Value(0);
        lstID.Checked(row, false);
        plan.SetItemValue(clsRestore::ToIDName, "", i);
        plan.SetItemValue(clsRestore::ToID, "", i);
        plan.SetItemValue(clsRestore::ToRestoreDetail, ItemFlags::kNone, i);
      } else {
        plan.SetItemValue(clsRestore::ToIDName, shown, i);
        plan.SetItemValue(clsRestore::ToID, items.IdentitiesID().Value(cobToID.ListIndex() + 1), i);
        plan.SetItemValue(clsRestore::ToRestoreDetail, plan.GetItemValue(clsRestore::IDDetail, i), i);
      }
    } else if (plan.GetItemValue(clsRestore::ToIDName, i) == shown) {
      plan.SetItemValue(clsRestore::ToIDName, "", i);
      plan.SetItemValue(clsRestore::ToID, "", i);
      plan.SetItemValue(clsRestore::Selected, "False", i);
      plan.SetItemValue(clsRestore::ToRestoreDetail, ItemFlags::kNone, i);
      if (i - 1 < lstID.ListCount()) lstID.Checked(i - 1, false);
    }
  }
}

void ucRestor2::ItemClicked(int k) {
  if (busy_) return;
  if (NoTarget() && chkItem[k].Value() == 1) {
    platform::MsgBox(kTargetFirstMessage, platform::kOkOnly | platform::kInformation);
    controls::BusyScope busy(busy_);
    chkItem[k].Value(0);
    return;
  }
  const int row = lstID.ListIndex();
  if (row < 0) return;
  controls::BusyScope busy(busy_);
  std::array<bool, ItemFlags::kItemCount> set{};
  for (int j = 0; j < ItemFlags::kItemCount; ++j) set[static_cast<std::size_t>(j)] = chkItem[j].Value() == 1;
  const std::string flags = ItemFlags::Build(set);
  clsRestore& plan = shared::RestorePlan();
  plan.SetItemValue(clsRestore::ToRestoreDetail, flags, row + 1);
  if (flags != ItemFlags::kNone) {
    if (!lstID.Checked(row)) lstID.Checked(row, true);
    plan.SetItemValue(clsRestore::Selected, "True", row + 1);
  } else {
    lstID.Checked(row, false);
    plan.SetItemValue(clsRestore::Selected, "False", row + 1);
  }
}

bool ucRestor2::CheckReady() {
  clsRestore& plan = shared::RestorePlan();
  bool any = false;
  for (int k = 0; k < lstID.ListCount(); ++k) {
    plan.SetItemValue(clsRestore::Selected, lstID.Checked(k) ? "True" : "False", k + 1);
    any = any || lstID.Checked(k);
  }
  if (!any) {
    platform::MsgBox(kChooseOneMessage, platform::kOkOnly | platform::kInformation);
    return false;
  }
  // Each chosen record has a target of its own: a second record onto the
  // same identity would replace the first one's store.
  std::set<std::string> targets;
  for (std::int32_t i = 1; i <= plan.Count(); ++i) {
    if (plan.GetItemValue(clsRestore::Selected, i) != "True") continue;
    const std::string target = plan.GetItemValue(clsRestore::ToID, i);
    const char* refusal = target.empty()                   ? kTargetFirstMessage
                          : !targets.insert(target).second ? kSameTargetMessage
                                                           : nullptr;
    if (!refusal) continue;
    platform::MsgBox(std::string(refusal) + "\r\n\r\n" + plan.GetItemValue(clsRestore::IDName, i),
                     platform::kOkOnly | platform::kInformation);
    return false;
  }
  return true;
}
