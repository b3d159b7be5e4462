#pragma once
// The restore plan: one record per identity saved in the opened archive,
// with where it goes and what of it comes back. Seven parallel lists of
// text; records are numbered from 1, and each list also keeps an element 0
// that belongs to no record and stays empty.
#include <array>
#include <cstdint>
#include <string>

#include "helpers/OneBasedList.h"

class clsRestore {
 public:
  // Field numbers of GetItemValue / SetItemValue.
  enum Item : std::int32_t {
    IDName = 0,           // name of the saved identity
    IDList = 1,           // its Id, also its folder in the archive
    IDDetail = 2,         // item flags the archive holds for it
    Selected = 3,         // "True" / "False"
    ToID = 4,             // Id of the target identity, or ""
    ToIDName = 5,         // name of the target identity, or ""
    ToRestoreDetail = 6,  // item flags to restore
  };
  static constexpr std::int32_t kItemCount = 7;

  clsRestore();

  std::int32_t Count() const;
  void ClearData();
  // Appends a record; the new record's number is the new Count. Returns "".
  std::string AddItemData(const std::string& sIDName, const std::string& sIDList,
                          const std::string& sIDDetail, const std::string& sSelected = "",
                          const std::string& sToID = "", const std::string& sToIDName = "",
                          const std::string& sToRestoreDetail = "");
  // The field's text; "" for a field outside 0..6, a record outside 0..Count
  // (0 reads the empty element).
  std::string GetItemValue(std::int32_t Item, std::int32_t Index) const;
  // Sets a field of record Index (negative: the last record). A field outside
  // 0..6 or a record above Count changes nothing; element 0 stays empty.
  // Returns "".
  std::string SetItemValue(std::int32_t Item, const std::string& sValue, std::int32_t Index = -1);

 private:
  // Element 0 of each list is implied: it is always "".
  std::array<TextList, kItemCount> lists_;
};
