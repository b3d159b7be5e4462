#include "backup/ucBack1.h"

#include <array>

#include "catalog/DataLocations.h"
#include "catalog/ItemFlags.h"
#include "controls/BusyScope.h"
#include "platform/ui.h"
#include "registry/RegistryRoutines.h"
#include "resources/resource.h"
#include "catalog/SharedObjects.h"

namespace {

const char* const kDetailRows[ItemFlags::kItemCount] = {
    "E-Mail & News Messages", "Accounts",        "Address Book",
    "Mail & News Rules",      "Blocked Senders", "Signatures",
};


// The mail client has written data for the identity at least once.
bool HasMailData(const std::string& id) {
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.KeyRoot(DataLocations::kIdentitiesKey);
  reg.Subkey(id + "\\" + DataLocations::kMailDataKey);
  return reg.KeyExists();
}

}  // namespace

ucBack1::ucBack1() {
  lblTitle.Caption("Specify the items you want to Backup");
  lblIdentities.Caption("&Identities to back up:");
  lblDetail.Caption("Detail:");
  // One blank instead of a line break: the label wraps the note at its width.
  lblNote.Caption(
      "- To back up Hotmail and News Messages correctly, both Messages and Accounts "
      "must be checked.");
  for (const char* row : kDetailRows) lstDetail.AddItem(row);
  lstIdentity.Click = [this] { ShowCurrentFlags(); };
  lstIdentity.ItemCheck = [this](int row) { IdentityTicked(row); };
  lstDetail.ItemCheck = [this](int) { DetailTicked(); };
}

int ucBack1::TemplateId() const { return IDD_BACK1; }

void ucBack1::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_BACK1_TITLE);
  binder.Bind(lblIdentities, IDC_BACK1_IDLABEL);
  binder.Bind(lstIdentity, IDC_BACK1_IDLIST);
  binder.Bind(lblDetail, IDC_BACK1_DETAILLABEL);
  binder.Bind(lstDetail, IDC_BACK1_DETAILLIST);
  binder.Bind(lblNote, IDC_BACK1_NOTE);
}

void ucBack1::LoadIdenList() {
  if (lstIdentity.ListCount() > 0) return;
  const TextList& names = shared::Catalogue().Identities();
  std::string without;  // identities with nothing to back up yet: they start unticked
  {
    controls::BusyScope busy(busy_);
    for (std::int32_t k = 1; k <= names.Count(); ++k) {
      const bool data = HasMailData(shared::Catalogue().IdentitiesID().Value(k));
      lstIdentity.AddItem(names.At(k), data);
      if (data) continue;
      StoreFlags(k - 1, ItemFlags::kNone);
      without += (without.empty() ? "" : ", ") + names.At(k);
    }
  }
  if (!without.empty()) lblNote.Caption(lblNote.Caption() + "\r\n" + kNoDataNote + without);
  if (lstIdentity.ListCount() > 0)
    lstIdentity.ListIndex(0);
  else
    lstDetail.Enabled(false);
}

void ucBack1::ShowCurrentFlags() {
  if (busy_) return;
  const int row = lstIdentity.ListIndex();
  if (row < 0) return;
  // Each tick below runs DetailTicked, which writes the flags back; once the
  // loop ends they are the identity's own again.
  const std::string flags = shared::Catalogue().Detail().Value(row + 1);
  const std::int32_t fields = SplitList(flags, ",").Count();
  for (int j = 0; j < fields && j < lstDetail.ListCount(); ++j)
    lstDetail.Checked(j, ItemFlags::IsNotZero(flags, j + 1));
  lstDetail.ListIndex(0);
}

void ucBack1::DetailTicked() {
  if (busy_) return;
  const int row = lstIdentity.ListIndex();
  if (row < 0) return;
  std::array<bool, ItemFlags::kItemCount> set{};
  for (int j = 0; j < ItemFlags::kItemCount; ++j) set[static_cast<std::size_t>(j)] = lstDetail.Checked(j);
  const std::string flags = ItemFlags::Build(set);
  StoreFlags(row, flags);
  controls::BusyScope busy(busy_);
  if (flags == ItemFlags::kNone)
    lstIdentity.Checked(row, false);
  else if (!lstIdentity.Checked(row))
    lstIdentity.Checked(row, true);
}

void ucBack1::IdentityTicked(int row) {
  if (lstIdentity.ListIndex() < 0 || busy_) return;
  controls::BusyScope busy(busy_);
  StoreFlags(row, lstIdentity.Checked(row) ? ItemFlags::kAll : ItemFlags::kNone);
}

void ucBack1::StoreFlags(int row, const std::string& flags) {
  cProcessItem& items = shared::Catalogue();
  TextList detail = items.Detail();
  detail.Set(row + 1, flags);
  items.Detail(std::move(detail));
}

void ucBack1::SelectItem(const std::string& name, const std::string& detail) {
  int row = -1;
  for (int i = 0; i < lstIdentity.ListCount() && row < 0; ++i)
    if (lstIdentity.List(i) == name) row = i;
  if (row < 0) return;
  lstIdentity.Checked(row, true);
  lstIdentity.ListIndex(row);
  for (int item = 1; item <= ItemFlags::kItemCount; ++item)
    if (ItemFlags::CharacterIsOne(detail, item)) lstDetail.Checked(item - 1, true);
}

bool ucBack1::CheckReady() {
  std::int32_t ticked = 0;
  for (int i = 0; i < lstIdentity.ListCount(); ++i) ticked += lstIdentity.Checked(i) ? 1 : 0;
  if (ticked == 0) {
    platform::MsgBox("Nothing to backup, Please select at least one item to backup",
                     platform::kOkOnly | platform::kInformation);
    return false;
  }
  cProcessItem& items = shared::Catalogue();
  for (int i = 0; i < lstIdentity.ListCount(); ++i) {
    if (!lstIdentity.Checked(i) || HasMailData(items.IdentitiesID().Value(i + 1))) continue;
    platform::MsgBox("Cannot find any data for the identity " + items.Identities().Value(i + 1) +
                         ".  \r\nOpen Outlook Express and switch to this identity, then try it again!",
                     platform::kOkOnly | platform::kInformation);
    return false;
  }
  OneBasedList<bool> selected;
  for (int i = 0; i < lstIdentity.ListCount(); ++i) selected.Add(lstIdentity.Checked(i));
  items.SelectIdentity(std::move(selected));
  totalItem_ = ticked;
  return true;
}
