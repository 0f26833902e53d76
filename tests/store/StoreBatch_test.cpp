// WriteAll: several operations of the store in one transaction, the multi-statement ones
// joining it, all kept or all undone.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"

namespace {

using StoreBatch = FreshStore;

TEST_F(StoreBatch, AFailedBatchLeavesNothingAndAGoodOneKeepsEverything) {
  std::vector<ProfileRecord> profiles;
  store.ListProfilesWithDefaults("Profile", profiles);
  KeyAssignmentRecord key;
  key.profile = 2;
  key.key_code = 7;
  key.macro_type = 3;
  EXPECT_FALSE(store.WriteAll([&] {
    key.macro_value = store.AddMacro("M");
    // Multi-statement operations run inside the batch without a transaction of their own.
    return key.macro_value > 0 && store.SaveKeyAssignment(key) > 0 &&
           store.SetActiveProfile(2) && false;
  }));
  EXPECT_EQ(QueryInt(File(), "select count(*) from t_macro_data"), 0);
  EXPECT_EQ(QueryInt(File(), "select count(*) from t_key_macro_data where key_code = 7"), 0);
  EXPECT_EQ(store.GetActiveProfile(), 1);

  EXPECT_TRUE(store.WriteAll([&] {
    key.macro_value = store.AddMacro("M");
    return key.macro_value > 0 && store.SaveKeyAssignment(key) > 0 && store.SetActiveProfile(2);
  }));
  EXPECT_EQ(QueryInt(File(), "select count(*) from t_key_macro_data where key_code = 7"), 1);
  EXPECT_EQ(store.GetActiveProfile(), 2);
  EXPECT_FALSE(store.WriteAll([&] { return store.WriteAll([] { return true; }); }))
      << "batches do not nest";
  EXPECT_TRUE(store.SetActiveProfile(1)) << "single operations work again after a batch";
}

}  // namespace
