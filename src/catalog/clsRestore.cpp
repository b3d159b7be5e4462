#include "catalog/clsRestore.h"

clsRestore::clsRestore() { ClearData(); }

std::int32_t clsRestore::Count() const { return lists_[0].Count(); }

void clsRestore::ClearData() {
  for (TextList& list : lists_) list.Clear();
}

std::string clsRestore::AddItemData(const std::string& sIDName, const std::string& sIDList,
                                    const std::string& sIDDetail, const std::string& sSelected,
                                    const std::string& sToID, const std::string& sToIDName,
                                    const std::string& sToRestoreDetail) {
  const std::string* values[kItemCount] = {&sIDName, &sIDList,   &sIDDetail,       &sSelected,
                                           &sToID,   &sToIDName, &sToRestoreDetail};
  for (int i = 0; i < kItemCount; ++i) lists_[static_cast<std::size_t>(i)].Add(*values[i]);
  return std::string();
}

std::string clsRestore::GetItemValue(std::int32_t Item, std::int32_t Index) const {
  if (Item < 0 || Item >= kItemCount) return std::string();
  return lists_[static_cast<std::size_t>(Item)].Value(Index);  // "" for 0 and out of range
}

std::string clsRestore::SetItemValue(std::int32_t Item, const std::string& sValue,
                                     std::int32_t Index) {
  if (Index < 0) Index = Count();
  if (Item < 0 || Item >= kItemCount) return std::string();
  lists_[static_cast<std::size_t>(Item)].Set(Index, sValue);  // refuses 0 and above Count
  return std::string();
}
