// The model test of the B-link tree: random inserts and deletes checked
// against a std::set, and the walk that checks every level's invariants.
// Included by the model tests (one executable per key-type group, so each
// stays well inside the test time-out under Wine).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_descent.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/key_search.h"
#include "isam/index/node_cache.h"
#include "tests/isam/index/index_test_env.h"

namespace isam {
namespace btreemodel {

using Key = std::vector<uint8_t>;

// Walks every level of the tree from its leftmost node and checks the
// B-link invariants; returns the leaf keys in chain order.
inline std::vector<Key> CheckTree(int file) {
  std::vector<Key> keys;
  FileControlBlock* fcb = CheckFileNumber(file);
  EXPECT_NE(nullptr, fcb);
  if (fcb == nullptr) return keys;
  const NodeLayout& l = fcb->layout;
  uint32_t level_start = fcb->header.root;
  if (level_start == 0) return keys;
  const Key all_ff(l.key_length, 0xFF);
  for (int level = 0; level <= kMaxTreeDepth + 1; ++level) {
    Node node;
    EXPECT_EQ(0, FetchNode(fcb, level_start, &node));
    const bool leaf = node.IsLeaf();
    uint32_t first_child = leaf ? 0 : node.pointers.at(0);
    uint32_t prev_pos = 0;
    Key prev_high;
    Key last_key;
    for (uint32_t pos = level_start; pos != 0; pos = node.header.rightlink) {
      EXPECT_EQ(0, FetchNode(fcb, pos, &node));
      EXPECT_EQ(node.IsLeaf(), leaf);
      if (leaf) {
        EXPECT_EQ(node.header.leftlink, prev_pos) << "left and right links disagree at " << pos;
      } else {
        EXPECT_GT(node.Count(), 0);
      }
      for (int i = 0; i < node.Count(); ++i) {
        Key k(node.Key(i, l), node.Key(i, l) + l.key_length);
        if (!last_key.empty()) {
          EXPECT_LT(last_key, k) << "keys out of order at " << pos;
        }
        if (leaf) {
          EXPECT_LE(k, node.high_key) << "key above its high key at " << pos;
          if (!prev_high.empty()) {
            EXPECT_GT(k, prev_high);
          }
          keys.push_back(k);
        }
        last_key = k;
      }
      if (leaf) {
        if (!prev_high.empty()) {
          EXPECT_LT(prev_high, node.high_key);
        }
        prev_high = node.high_key;
      }
      prev_pos = pos;
      if (node.header.rightlink == 0) {
        if (leaf) {
          EXPECT_EQ(node.high_key, all_ff);
        }
        if (!leaf) {
          EXPECT_EQ(last_key, all_ff) << "last inner key of a level is all 0xFF";
        }
      }
    }
    if (leaf) break;
    level_start = first_child;
  }
  return keys;
}

struct ModelCase {
  uint8_t key_type;
  bool duplicates;
};


// Keys from a small alphabet with runs of trailing blanks, so that both
// compressions find something to drop and prefixes repeat.
inline Key RandomValue(std::mt19937& rng, int length, int max_used) {
  Key k(static_cast<std::size_t>(length), ' ');
  const int used = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::min(length, max_used)));
  for (int i = 0; i < used; ++i) k[static_cast<std::size_t>(i)] = static_cast<uint8_t>('a' + rng() % 4);
  return k;
}

inline void CheckAgainstModel(int file, const std::set<Key>& model) {
  const std::vector<Key> chain = CheckTree(file);
  ASSERT_EQ(chain.size(), model.size());
  ASSERT_TRUE(std::equal(chain.begin(), chain.end(), model.begin()));
  EXPECT_EQ(CheckFileNumber(file)->header.active_count, model.size());
  // The public walk, forwards and backwards.
  const int klen = CheckFileNumber(file)->layout.key_length;
  Key k(static_cast<std::size_t>(klen));
  std::vector<Key> walked;
  for (uint32_t at = frskey(file, k.data()); at != 0; at = IndexNextKey(file, k.data())) walked.push_back(k);
  EXPECT_EQ(CurrentInstance()->eng_err, 0);
  ASSERT_EQ(walked.size(), model.size());
  EXPECT_TRUE(std::equal(walked.begin(), walked.end(), model.begin()));
  std::vector<Key> back;
  for (uint32_t at = lstkey(file, k.data()); at != 0; at = IndexPreviousKey(file, k.data())) back.push_back(k);
  ASSERT_EQ(back.size(), model.size());
  EXPECT_TRUE(std::equal(back.begin(), back.end(), model.rbegin()));
}

inline void RunModel(const ModelCase& c) {
  const int klen = c.duplicates ? 14 : 10;
  const int value_len = c.duplicates ? klen - 4 : klen;
  ASSERT_EQ(0, CreateIndexFile(5, "model.idx", klen, c.key_type, c.duplicates, 0, 8192, 0));
  std::mt19937 rng(1234 + c.key_type + (c.duplicates ? 100 : 0));
  std::set<Key> model;              // stored keys
  std::map<Key, uint32_t> position;  // unique: value -> position
  static const int kOps = std::getenv("ISAM_MODEL_OPS") ? std::atoi(std::getenv("ISAM_MODEL_OPS")) : 100000;
  for (int op = 1; op <= kOps; ++op) {
    // Domains small enough that inserts and deletes balance at a few
    // thousand live keys.
    Key v = RandomValue(rng, value_len, c.duplicates ? 4 : 6);
    const uint32_t pos = 1 + rng() % (c.duplicates ? 20 : 5000);
    Key stored = v;
    if (c.duplicates) {
      stored.resize(static_cast<std::size_t>(klen));
      PutBe32(stored.data() + value_len, pos);
      Key arg = stored;
      if (model.count(stored)) {
        ASSERT_EQ(0, delkey(5, arg.data(), pos, 0)) << op;
        model.erase(stored);
      } else if (rng() % 8 == 0 && !model.empty()) {
        ASSERT_EQ(4, delkey(5, arg.data(), pos, 0)) << op;
      } else {
        ASSERT_EQ(0, addkey(5, arg.data(), pos, static_cast<int>(rng() % 3))) << op;
        model.insert(stored);
      }
    } else {
      auto it = position.find(v);
      if (it != position.end()) {
        if (rng() % 4 == 0) {
          ASSERT_EQ(2, addkey(5, v.data(), pos, 0)) << op;
          ASSERT_EQ(3, delkey(5, v.data(), it->second + 1, 0)) << op;
        }
        ASSERT_EQ(0, delkey(5, v.data(), it->second, 0)) << op;
        position.erase(it);
        model.erase(v);
      } else {
        if (rng() % 8 == 0) {
          ASSERT_EQ(4, delkey(5, v.data(), pos, 0)) << op;
        }
        ASSERT_EQ(0, addkey(5, v.data(), pos, static_cast<int>(rng() % 3))) << op;
        position[v] = pos;
        model.insert(v);
      }
    }
    if (op % 1000 == 0) {
      ASSERT_NO_FATAL_FAILURE(CheckAgainstModel(5, model)) << "after " << op;
    }
    if (op == kOps / 2) {
      // Half way: close, reopen, carry on.
      ASSERT_EQ(0, CloseFileEntry(5));
      ASSERT_EQ(0, OpenFileEntry(5, "model.idx", 0));
      ASSERT_NO_FATAL_FAILURE(CheckAgainstModel(5, model));
    }
  }
  // Unique keys find their positions.
  for (const auto& [v, pos] : position) {
    Key out(static_cast<std::size_t>(klen));
    ASSERT_EQ(pos, FindKeyEqual(5, v.data(), out.data()));
  }
  ASSERT_EQ(0, CloseFileEntry(5));
  ASSERT_EQ(0, OpenFileEntry(5, "model.idx", 0));
  CheckAgainstModel(5, model);
}


}  // namespace btreemodel
}  // namespace isam
