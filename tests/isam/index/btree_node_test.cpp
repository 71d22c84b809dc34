#include "isam/index/btree_node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "isam/index/btree_bytes.h"

namespace isam {
namespace {

NodeLayout Layout(uint16_t klen, uint8_t type, bool dups) {
  NodeLayout l;
  l.node_size = 768;
  l.key_length = klen;
  l.key_type = type;
  l.duplicates = dups;
  l.pad = ' ';
  l.leaf_key_bytes = static_cast<uint16_t>((750 / klen - 1) * klen);
  l.leaf_limit = 192;
  l.member = 0;
  return l;
}

// Fills a node with sorted random keys drawn from a small alphabet (so
// prefixes repeat) and trailing blanks (so trailing compression bites).
Node RandomNode(const NodeLayout& l, bool leaf, std::mt19937& rng) {
  Node n;
  InitEmptyNode(l, leaf, 768, &n);
  std::set<std::vector<uint8_t>> keys;
  for (int tries = 0; tries < 400; ++tries) {
    std::vector<uint8_t> k(l.key_length, ' ');
    const int len = static_cast<int>(rng() % static_cast<unsigned>(l.CompressiblePart() + 1));
    for (int i = 0; i < len; ++i) k[static_cast<std::size_t>(i)] = static_cast<uint8_t>('a' + rng() % 3);
    if (l.duplicates) PutBe32(k.data() + l.key_length - 4, rng());
    keys.insert(k);
  }
  for (const auto& k : keys) {
    n.Insert(n.Count(), k.data(), l.duplicates && leaf ? GetBe32(k.data() + l.key_length - 4) : rng(), l);
    if (!NodeFits(l, n)) {
      n.Erase(n.Count() - 1, l);
      break;
    }
  }
  return n;
}

TEST(NodeHeaderCodec, FieldOffsets) {
  NodeHeader h;
  h.rightlink = 0x11223344;
  h.leftlink = kNodeRestartMark;
  h.nentries = 0x0102;
  h.bytes_used = 0x0304;
  h.member = 5;
  h.leaf = 1;
  uint8_t b[kNodeHeaderSize];
  EncodeNodeHeader(h, b);
  EXPECT_EQ(b[0], 0x44);
  EXPECT_EQ(b[4], 0xFF);
  EXPECT_EQ(b[8], 0x02);
  EXPECT_EQ(b[10], 0x04);
  EXPECT_EQ(b[16], 5);
  EXPECT_EQ(b[17], 1);
}

TEST(NodeCodec, EveryLayoutRoundTrips) {
  std::mt19937 rng(11);
  for (uint8_t type : {0, 4, 8, 12}) {
    for (bool dups : {false, true}) {
      for (bool leaf : {false, true}) {
        const NodeLayout l = Layout(dups ? 16 : 12, type, dups);
        for (int round = 0; round < 20; ++round) {
          Node n = RandomNode(l, leaf, rng);
          n.header.rightlink = 1536;
          std::vector<uint8_t> image(l.node_size);
          ASSERT_EQ(EncodeNode(l, &n, image.data()), 0);
          Node back;
          ASSERT_EQ(DecodeNode(l, image.data(), 768, &back), 0) << int(type) << dups << leaf;
          EXPECT_EQ(back.keys, n.keys);
          EXPECT_EQ(back.pointers, n.pointers);
          EXPECT_EQ(back.header.rightlink, 1536u);
          if (leaf) {
            EXPECT_EQ(back.high_key, n.high_key);
          }
        }
      }
    }
  }
}

// Long keys (a UID's 200 bytes) with prefix and padding runs ending on and
// off word boundaries: the encoded size must be what a byte-by-byte count of
// shared prefix and trailing pad gives, and the node must read back.
TEST(NodeCodec, LongKeysCompressByteExactly) {
  std::mt19937 rng(5);
  for (uint16_t klen : {9, 17, 40, 204}) {
    for (bool dups : {false, true}) {
      const NodeLayout l = [&] {
        NodeLayout x = Layout(klen, 12, dups);
        x.node_size = 4096;
        x.leaf_key_bytes = static_cast<uint16_t>((4000 / klen - 1) * klen);
        return x;
      }();
      const int part = l.CompressiblePart();
      for (int round = 0; round < 10; ++round) {
        std::set<std::vector<uint8_t>> keys;
        for (int i = 0; i < 12; ++i) {
          std::vector<uint8_t> k(klen, ' ');
          const int len = static_cast<int>(rng() % static_cast<unsigned>(part + 1));
          for (int j = 0; j < len; ++j) k[static_cast<std::size_t>(j)] = j < len / 2 ? 'u' : static_cast<uint8_t>('a' + rng() % 2);
          keys.insert(k);
        }
        Node n;
        InitEmptyNode(l, true, 768, &n);
        int expected = 0;
        const std::vector<uint8_t>* prev = nullptr;
        for (const auto& k : keys) {
          n.Insert(n.Count(), k.data(), rng(), l);
          int trail = 0, lead = 0;
          while (trail < part && k[static_cast<std::size_t>(part - 1 - trail)] == ' ') ++trail;
          while (prev && lead < part && k[static_cast<std::size_t>(lead)] == (*prev)[static_cast<std::size_t>(lead)]) ++lead;
          lead = std::min(lead, part - trail);
          expected += (l.HasPointer(true) ? 4 : 0) + 2 + klen - lead - trail;
          prev = &k;
        }
        std::vector<uint8_t> image(l.node_size);
        ASSERT_EQ(EncodeNode(l, &n, image.data()), 0) << klen << dups;
        EXPECT_EQ(n.header.bytes_used, expected) << klen << dups;
        EXPECT_EQ(EncodedEntryBytes(l, n, 0, n.Count()), expected);
        Node back;
        ASSERT_EQ(DecodeNode(l, image.data(), 768, &back), 0);
        EXPECT_EQ(back.keys, n.keys);
      }
    }
  }
}

TEST(NodeCodec, DuplicateLeafTakesPositionFromBigEndianSuffix) {
  const NodeLayout l = Layout(8, 0, true);
  Node n;
  InitEmptyNode(l, true, 768, &n);
  uint8_t key[8] = {'k', 'e', 'y', ' ', 0x01, 0x02, 0x03, 0x04};
  n.Insert(0, key, 0x01020304, l);
  std::vector<uint8_t> image(l.node_size);
  ASSERT_EQ(EncodeNode(l, &n, image.data()), 0);
  EXPECT_EQ(0, memcmp(image.data() + 18, key, 8));  // no pointer in front
  Node back;
  ASSERT_EQ(DecodeNode(l, image.data(), 768, &back), 0);
  EXPECT_EQ(back.pointers[0], 0x01020304u);
}

TEST(NodeCodec, CompressionSavesBytes) {
  const NodeLayout fixed = Layout(12, 0, false);
  const NodeLayout both = Layout(12, 12, false);
  Node n;
  InitEmptyNode(fixed, true, 768, &n);
  uint8_t a[12] = {'a', 'b', 'c', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  uint8_t b[12] = {'a', 'b', 'd', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  n.Insert(0, a, 1, fixed);
  n.Insert(1, b, 2, fixed);
  EXPECT_EQ(EncodedEntryBytes(fixed, n, 0, 2), 32);
  // Entry 1: 4 + 2 counts + "abc"; entry 2: 4 + 2 + "d".
  EXPECT_EQ(EncodedEntryBytes(both, n, 0, 2), 9 + 7);
}

TEST(NodeCodec, HostileCountsAreDamageNotCrashes) {
  std::mt19937 rng(3);
  for (uint8_t type : {0, 4, 8, 12}) {
    for (bool dups : {false, true}) {
      const NodeLayout l = Layout(dups ? 16 : 12, type, dups);
      Node n = RandomNode(l, true, rng);
      std::vector<uint8_t> image(l.node_size);
      ASSERT_EQ(EncodeNode(l, &n, image.data()), 0);
      for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bad = image;
        for (int f = 0; f < 3; ++f) bad[rng() % (18 + n.header.bytes_used)] = static_cast<uint8_t>(rng());
        Node out;
        const int rc = DecodeNode(l, bad.data(), 768, &out);
        EXPECT_TRUE(rc == 0 || rc == kErrFileDamaged);
        if (rc == 0) {
          EXPECT_EQ(out.keys.size(), out.pointers.size() * l.key_length);
        }
      }
      uint8_t* h = image.data();
      PutLe16(h + 8, 0xFFFF);
      Node out;
      EXPECT_EQ(DecodeNode(l, image.data(), 768, &out), kErrFileDamaged);
    }
  }
}

// A node write torn at any byte (new bytes before, old after) never
// passes its check value, so no stale half passes for keys.
TEST(NodeCodec, ANodeTornAnywhereIsDamage) {
  std::mt19937 rng(9);
  const NodeLayout l = Layout(12, 0, false);
  Node n = RandomNode(l, true, rng);
  std::vector<uint8_t> before(l.node_size), after(l.node_size);
  ASSERT_EQ(EncodeNode(l, &n, before.data()), 0);
  n.Erase(0, l);
  ASSERT_EQ(EncodeNode(l, &n, after.data()), 0);
  for (std::size_t cut = 1; cut < l.node_size; ++cut) {
    std::vector<uint8_t> torn = before;
    std::copy(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(cut), torn.begin());
    if (torn != after && torn != before) {
      EXPECT_FALSE(NodeImageMatches(l, torn.data())) << cut;
    }
  }
  EXPECT_TRUE(NodeImageMatches(l, after.data()));
  after[kNodeCheckOffset] = after[kNodeCheckOffset + 1] = 0;  // written before check values
  EXPECT_TRUE(NodeImageMatches(l, after.data()));
}

TEST(NodeSearch, LowerBound) {
  const NodeLayout l = Layout(4, 0, false);
  Node n;
  InitEmptyNode(l, true, 768, &n);
  for (uint8_t v : {10, 20, 30}) {
    uint8_t k[4] = {0, 0, 0, v};
    n.Insert(n.Count(), k, v, l);
  }
  bool eq = false;
  uint8_t t[4] = {0, 0, 0, 20};
  EXPECT_EQ(LowerBound(l, n, t, &eq), 1);
  EXPECT_TRUE(eq);
  t[3] = 25;
  EXPECT_EQ(LowerBound(l, n, t, &eq), 2);
  EXPECT_FALSE(eq);
  t[3] = 99;
  EXPECT_EQ(LowerBound(l, n, t, &eq), 3);
}

}  // namespace
}  // namespace isam
