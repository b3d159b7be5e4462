// The restore plan: records counted from 1, element 0 never written, a
// negative number meaning the last record, and writes outside changing
// nothing.
#include "catalog/clsRestore.h"

#include <gtest/gtest.h>

namespace {

// Every field of every record and element 0, for comparing whole plans.
std::vector<std::string> Snapshot(const clsRestore& plan) {
  std::vector<std::string> all;
  for (std::int32_t i = -1; i <= plan.Count() + 1; ++i)
    for (std::int32_t item = -1; item <= clsRestore::kItemCount; ++item) all.push_back(plan.GetItemValue(item, i));
  return all;
}

TEST(clsRestore, RecordsFieldsAndWrites) {
  clsRestore plan;
  plan.AddItemData("Anna", "{1}", "1,1,1,1,1,1", "True", "{9}", "Main", "1,0,1,1,1,1");
  plan.AddItemData("Ben", "{2}", "0,1,0,0,0,0");
  ASSERT_EQ(plan.Count(), 2);
  std::vector<std::string> first, second;
  for (std::int32_t item = 0; item < clsRestore::kItemCount; ++item) {
    first.push_back(plan.GetItemValue(item, 1));
    second.push_back(plan.GetItemValue(item, 2));
  }
  EXPECT_EQ(first, (std::vector<std::string>{"Anna", "{1}", "1,1,1,1,1,1", "True", "{9}", "Main", "1,0,1,1,1,1"}));
  EXPECT_EQ(second, (std::vector<std::string>{"Ben", "{2}", "0,1,0,0,0,0", "", "", "", ""}));

  EXPECT_EQ(plan.SetItemValue(clsRestore::Selected, "False", 1), "");
  plan.SetItemValue(clsRestore::ToID, "{7}", -1);
  plan.SetItemValue(clsRestore::ToIDName, "Work");  // no record number: the last
  EXPECT_EQ(plan.GetItemValue(clsRestore::Selected, 1) + plan.GetItemValue(clsRestore::Selected, 2), "False");
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToID, 2) + plan.GetItemValue(clsRestore::ToIDName, 2), "{7}Work");
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToID, 1), "{9}");

  const auto before = Snapshot(plan);
  plan.SetItemValue(clsRestore::IDName, "x", 3);
  plan.SetItemValue(-1, "x", 1);
  plan.SetItemValue(7, "x", 1);
  plan.SetItemValue(clsRestore::IDName, "x", 0);  // element 0 stays empty
  EXPECT_EQ(Snapshot(plan), before);
  for (const std::string& field : before) EXPECT_NE(field, "x");

  plan.ClearData();
  EXPECT_EQ(plan.Count(), 0);
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 1), "");
  plan.SetItemValue(clsRestore::IDName, "x", -1);  // no last record to write
  EXPECT_EQ(plan.Count(), 0);
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 0), "");
  plan.AddItemData("Cleo", "{3}", "1,1,1,1,1,1");
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 1), "Cleo");
}

}  // namespace
