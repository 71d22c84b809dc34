#include <gtest/gtest.h>

#include "tests/isam/index/btree_model.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace {

// 100,000 random inserts and deletes against a std::set, checked every 1,000
// operations and after close and reopen: unique keys, trailing-compressed and doubly compressed key types.
class BtreeModelUniqueCompressed : public indextest::IndexTest, public ::testing::WithParamInterface<int> {};

TEST_P(BtreeModelUniqueCompressed, MatchesASet) {
  Start(3, 24);  // small nodes, a small cache: deeper trees and evictions
  btreemodel::RunModel(btreemodel::ModelCase{static_cast<uint8_t>(GetParam()), false});
}

INSTANTIATE_TEST_SUITE_P(KeyTypes, BtreeModelUniqueCompressed, ::testing::Values(8, 12));

}  // namespace
}  // namespace isam
