// The restore plan: records, element 0, and writes that must change nothing.
#include "catalog/clsRestore.h"

#include <gtest/gtest.h>

namespace {

clsRestore PlanOfTwo() {
  clsRestore plan;
  plan.AddItemData("Anna", "{1}", "1,1,1,1,1,1", "True", "{9}", "Main", "1,0,1,1,1,1");
  plan.AddItemData("Ben", "{2}", "0,1,0,0,0,0");
  return plan;
}

// Every field of every record and element 0, for comparing whole plans.
std::vector<std::string> Snapshot(const clsRestore& plan) {
  std::vector<std::string> all;
  for (std::int32_t i = 0; i <= plan.Count(); ++i)
    for (std::int32_t item = 0; item < clsRestore::kItemCount; ++item) all.push_back(plan.GetItemValue(item, i));
  return all;
}

TEST(clsRestore, NewPlanIsEmpty) {
  clsRestore plan;
  EXPECT_EQ(plan.Count(), 0);
  for (std::int32_t item = 0; item < clsRestore::kItemCount; ++item) {
    EXPECT_EQ(plan.GetItemValue(item, 1), "");
    EXPECT_EQ(plan.GetItemValue(item, 0), "");
  }
}

TEST(clsRestore, AddItemDataFillsTheFieldsInOrder) {
  clsRestore plan = PlanOfTwo();
  ASSERT_EQ(plan.Count(), 2);
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 1), "Anna");
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDList, 1), "{1}");
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDDetail, 1), "1,1,1,1,1,1");
  EXPECT_EQ(plan.GetItemValue(clsRestore::Selected, 1), "True");
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToID, 1), "{9}");
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToIDName, 1), "Main");
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToRestoreDetail, 1), "1,0,1,1,1,1");
  // Three arguments leave the optional fields empty.
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 2), "Ben");
  for (auto item : {clsRestore::Selected, clsRestore::ToID, clsRestore::ToIDName, clsRestore::ToRestoreDetail})
    EXPECT_EQ(plan.GetItemValue(item, 2), "");
}

TEST(clsRestore, ClearDataEmptiesThePlan) {
  clsRestore plan = PlanOfTwo();
  plan.ClearData();
  EXPECT_EQ(plan.Count(), 0);
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 1), "");
  plan.AddItemData("Cleo", "{3}", "1,1,1,1,1,1");
  EXPECT_EQ(plan.Count(), 1);
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 1), "Cleo");
}

TEST(clsRestore, ReadsOutsideGiveEmptyText) {
  clsRestore plan = PlanOfTwo();
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, 3), "");
  EXPECT_EQ(plan.GetItemValue(clsRestore::IDName, -1), "");
  EXPECT_EQ(plan.GetItemValue(-1, 1), "");
  EXPECT_EQ(plan.GetItemValue(7, 1), "");
}

TEST(clsRestore, SetItemValueWritesOneField) {
  clsRestore plan = PlanOfTwo();
  EXPECT_EQ(plan.SetItemValue(clsRestore::Selected, "False", 1), "");
  EXPECT_EQ(plan.GetItemValue(clsRestore::Selected, 1), "False");
  EXPECT_EQ(plan.GetItemValue(clsRestore::Selected, 2), "");
}

TEST(clsRestore, NegativeRecordNumberMeansTheLast) {
  clsRestore plan = PlanOfTwo();
  plan.SetItemValue(clsRestore::ToID, "{7}", -1);
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToID, 2), "{7}");
  plan.SetItemValue(clsRestore::ToIDName, "Work");  // no record number: the last
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToIDName, 2), "Work");
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToID, 1), "{9}");
}

TEST(clsRestore, WritesOutsideChangeNothing) {
  clsRestore plan = PlanOfTwo();
  const auto before = Snapshot(plan);
  plan.SetItemValue(clsRestore::IDName, "x", 3);
  plan.SetItemValue(-1, "x", 1);
  plan.SetItemValue(7, "x", 1);
  plan.SetItemValue(clsRestore::IDName, "x", 0);  // element 0 stays empty
  EXPECT_EQ(Snapshot(plan), before);
  clsRestore empty;
  empty.SetItemValue(clsRestore::IDName, "x", -1);  // no last record to write
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(empty.GetItemValue(clsRestore::IDName, 0), "");
}

}  // namespace
