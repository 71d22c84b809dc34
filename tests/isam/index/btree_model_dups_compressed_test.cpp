#include <gtest/gtest.h>

#include "tests/isam/index/btree_model.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

// 100,000 random inserts and deletes against a std::set, checked every 1,000
// operations and after close and reopen: with duplicates keys, trailing-compressed and doubly compressed key types.
class BtreeModelDuplicatesCompressed : public indextest::IndexTest, public ::testing::WithParamInterface<int> {};

TEST_P(BtreeModelDuplicatesCompressed, MatchesASet) {
  Start(3, 24);  // small nodes, a small cache: deeper trees and evictions
  btreemodel::RunModel(btreemodel::ModelCase{static_cast<uint8_t>(GetParam()), true});
}

INSTANTIATE_TEST_SUITE_P(KeyTypes, BtreeModelDuplicatesCompressed, ::testing::Values(8, 12));

}  // namespace
}  // namespace isam
