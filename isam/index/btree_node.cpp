#include "isam/index/btree_node.h"

#include <algorithm>
#include <cstring>

#include "isam/index/btree_bytes.h"
#include "isam/index/key_compare.h"

namespace isam {
namespace {

// Every encode and size check walks each key's padding and its prefix shared
// with the key before; long padded keys (a calendar's UID) made these byte
// loops the bulk of an add, so whole words are compared first.
int TrailingPad(const NodeLayout& l, const uint8_t* key) {
  const uint64_t pads = 0x0101010101010101ull * l.pad;
  int i = l.CompressiblePart();
  while (i >= 8) {
    uint64_t word;
    std::memcpy(&word, key + i - 8, 8);
    if (word != pads) break;
    i -= 8;
  }
  while (i > 0 && key[i - 1] == l.pad) --i;
  return l.CompressiblePart() - i;
}

int SharedPrefix(const NodeLayout& l, const uint8_t* a, const uint8_t* b) {
  int n = 0;
  const int part = l.CompressiblePart();
  while (n + 8 <= part) {
    uint64_t wa, wb;
    std::memcpy(&wa, a + n, 8);
    std::memcpy(&wb, b + n, 8);
    if (wa != wb) break;
    n += 8;
  }
  while (n < part && a[n] == b[n]) ++n;
  return n;
}

bool Compressed(const NodeLayout& l) {
  return (l.key_type & (kKeyLeadingCompression | kKeyTrailingCompression)) != 0;
}

// Keys are short (16 bytes is common) and copied once per entry of every
// node encoded or decoded: whole words inline beat a library call per key.
inline void CopyKeyBytes(uint8_t* to, const uint8_t* from, int n) {
  for (; n >= 8; n -= 8, to += 8, from += 8) std::memcpy(to, from, 8);
  for (; n > 0; --n) *to++ = *from++;
}

// Encoded size of entry i given its predecessor (null for the first).
int EntrySize(const NodeLayout& l, bool leaf, const uint8_t* key, const uint8_t* prev) {
  int size = l.key_length + (l.HasPointer(leaf) ? 4 : 0);
  if (l.key_type & (kKeyLeadingCompression | kKeyTrailingCompression)) {
    const int part = l.CompressiblePart();
    const int trail = (l.key_type & kKeyTrailingCompression) ? TrailingPad(l, key) : 0;
    int lead = (l.key_type & kKeyLeadingCompression) && prev ? SharedPrefix(l, key, prev) : 0;
    if (lead + trail > part) lead = part - trail;
    size += l.CompressionBytes() - lead - trail;
  }
  return size;
}

}  // namespace

void EncodeNodeHeader(const NodeHeader& h, uint8_t* out) {
  PutLe32(out + 0, h.rightlink);
  PutLe32(out + 4, h.leftlink);
  PutLe16(out + 8, h.nentries);
  PutLe16(out + 10, h.bytes_used);
  PutLe16(out + 12, h.excword);
  PutLe16(out + kNodeCheckOffset, h.check_value);
  out[16] = h.member;
  out[17] = h.leaf;
}

void DecodeNodeHeader(const uint8_t* in, NodeHeader* h) {
  h->rightlink = GetLe32(in + 0);
  h->leftlink = GetLe32(in + 4);
  h->nentries = GetLe16(in + 8);
  h->bytes_used = GetLe16(in + 10);
  h->excword = GetLe16(in + 12);
  h->check_value = GetLe16(in + kNodeCheckOffset);
  h->member = in[16];
  h->leaf = in[17];
}

void Node::Insert(int i, const uint8_t* key, uint32_t pointer, const NodeLayout& l) {
  keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(i) * l.key_length, key, key + l.key_length);
  pointers.insert(pointers.begin() + i, pointer);
}

void Node::Erase(int i, const NodeLayout& l) {
  auto at = keys.begin() + static_cast<std::ptrdiff_t>(i) * l.key_length;
  keys.erase(at, at + l.key_length);
  pointers.erase(pointers.begin() + i);
}

void PutKeyRecordPosition(uint8_t* key, int key_length, uint32_t position) {
  if (key_length >= 4) PutBe32(key + key_length - 4, position);
}

void MakeStoredKey(const NodeLayout& l, const uint8_t* key, uint32_t position, uint8_t* out) {
  std::memcpy(out, key, l.key_length);
  if (l.duplicates) PutKeyRecordPosition(out, l.key_length, position);
}

void InitEmptyNode(const NodeLayout& l, bool leaf, uint32_t position, Node* node) {
  node->position = position;
  node->header = NodeHeader{};
  node->header.member = l.member;
  node->header.leaf = leaf ? 1 : 0;
  node->keys.clear();
  node->pointers.clear();
  node->high_key.assign(leaf ? l.key_length : 0, 0xFF);
}

uint16_t NodeCheckValue(const NodeLayout& l, const uint8_t* image) {
  // Four lanes of a multiply-and-fold over 64-bit words: a node is written
  // whole at every change, and a full CRC of it cost a large share of an
  // insert. Every bit of every word reaches the value.
  constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
  uint64_t lane[4] = {1, 2, 3, 4};
  const std::size_t size = l.node_size;
  std::size_t at = 0;
  auto word = [&](std::size_t i) {
    uint64_t w = 0;
    std::memcpy(&w, image + i, 8);
    if (i <= kNodeCheckOffset && kNodeCheckOffset < i + 8)  // the value's own two bytes count as 0
      w &= ~(uint64_t{0xFFFF} << (8 * (kNodeCheckOffset - i)));
    return w;
  };
  for (; at + 32 <= size; at += 32)
    for (int k = 0; k < 4; ++k) {
      lane[k] = (lane[k] ^ word(at + 8 * static_cast<std::size_t>(k))) * kMul;
      lane[k] ^= lane[k] >> 31;
    }
  uint64_t h = size;
  for (; at < size; ++at) h = (h ^ image[at]) * kMul;
  for (uint64_t v : lane) h = ((h ^ v) * kMul) ^ (h >> 29);
  h ^= h >> 32;
  const auto v = static_cast<uint16_t>(h ^ (h >> 16));
  return v != 0 ? v : 1;
}

bool NodeImageMatches(const NodeLayout& l, const uint8_t* image) {
  const uint16_t check = GetLe16(image + kNodeCheckOffset);
  return check == 0 || l.node_size <= kNodeHeaderSize || check == NodeCheckValue(l, image);
}

int DecodeNode(const NodeLayout& l, const uint8_t* image, uint32_t position, Node* node) {
  node->position = position;
  DecodeNodeHeader(image, &node->header);
  const NodeHeader& h = node->header;
  if (h.leaf > 1) return kErrFileDamaged;
  const bool leaf = h.leaf == 1;
  const int cap = l.Capacity(leaf);
  if (h.nentries > l.EntryLimit(leaf) || h.bytes_used > cap) return kErrFileDamaged;
  const int n = h.nentries;
  const int klen = l.key_length;
  // Room for one more entry: an add inserts one into the node it decoded,
  // and growing a leaf of long keys then meant copying it to a new block.
  node->keys.reserve(static_cast<std::size_t>(n + 1) * klen);
  node->pointers.reserve(static_cast<std::size_t>(n) + 1);
  // Every byte of every key and every pointer is written below: a node
  // decoded into a reused one only pays for the room it grows by.
  node->keys.resize(static_cast<std::size_t>(n) * klen);
  node->pointers.resize(static_cast<std::size_t>(n));
  const uint8_t* area = image + kNodeHeaderSize;
  const bool ptr = l.HasPointer(leaf);
  const bool compressed = Compressed(l);
  const int part = l.CompressiblePart();
  int at = 0;
  for (int i = 0; i < n; ++i) {
    uint8_t* key = node->keys.data() + static_cast<std::size_t>(i) * klen;
    uint32_t pointer = 0;
    if (ptr) {
      if (at + 4 > h.bytes_used) return kErrFileDamaged;
      pointer = GetLe32(area + at);
      at += 4;
    }
    if (!compressed) {
      if (at + klen > h.bytes_used) return kErrFileDamaged;
      CopyKeyBytes(key, area + at, klen);
      at += klen;
    } else {
      int lead = 0, trail = 0;
      if (l.key_type & kKeyLeadingCompression) {
        if (at + 1 > h.bytes_used) return kErrFileDamaged;
        lead = area[at++];
      }
      if (l.key_type & kKeyTrailingCompression) {
        if (at + 1 > h.bytes_used) return kErrFileDamaged;
        trail = area[at++];
      }
      if (lead + trail > part || (i == 0 && lead != 0)) return kErrFileDamaged;
      const int stored = part - lead - trail + (l.duplicates ? 4 : 0);
      if (at + stored > h.bytes_used) return kErrFileDamaged;
      if (lead > 0) std::memcpy(key, key - klen, static_cast<std::size_t>(lead));
      std::memcpy(key + lead, area + at, static_cast<std::size_t>(part - lead - trail));
      std::memset(key + part - trail, l.pad, static_cast<std::size_t>(trail));
      if (l.duplicates) std::memcpy(key + part, area + at + part - lead - trail, 4);
      at += stored;
    }
    node->pointers[static_cast<std::size_t>(i)] = ptr ? pointer : GetBe32(key + klen - 4);
  }
  if (at != h.bytes_used) return kErrFileDamaged;
  if (leaf) {
    const uint8_t* high = area + cap;
    node->high_key.assign(high, high + klen);
  } else {
    node->high_key.clear();
  }
  return 0;
}

int EncodedEntryBytes(const NodeLayout& l, const Node& node, int first, int count) {
  const bool leaf = node.IsLeaf();
  // Without compression every entry has the same size.
  if (!Compressed(l)) return count * (l.key_length + (l.HasPointer(leaf) ? 4 : 0));
  int total = 0;
  for (int i = first; i < first + count; ++i) {
    const uint8_t* prev = i > first ? node.Key(i - 1, l) : nullptr;
    total += EntrySize(l, leaf, node.Key(i, l), prev);
  }
  return total;
}

bool NodeFits(const NodeLayout& l, const Node& node) {
  const bool leaf = node.IsLeaf();
  return node.Count() <= l.EntryLimit(leaf) &&
         EncodedEntryBytes(l, node, 0, node.Count()) <= l.Capacity(leaf);
}

int EncodeNode(const NodeLayout& l, Node* node, uint8_t* image) {
  const bool leaf = node->IsLeaf();
  const int n = node->Count();
  if (n > l.EntryLimit(leaf)) return kErrFileDamaged;
  const int klen = l.key_length;
  const int part = l.CompressiblePart();
  const bool ptr = l.HasPointer(leaf);
  const bool compressed = Compressed(l);
  // Each entry's compression is worked out once, for the size check and the
  // bytes both: the check used to walk every key a second time.
  thread_local std::vector<int> leads, trails;
  int total = n * (klen + (ptr ? 4 : 0));
  if (compressed) {
    leads.resize(static_cast<std::size_t>(n));
    trails.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      const uint8_t* key = node->Key(i, l);
      const int trail = (l.key_type & kKeyTrailingCompression) ? TrailingPad(l, key) : 0;
      int lead = (l.key_type & kKeyLeadingCompression) && i > 0 ? SharedPrefix(l, key, key - klen) : 0;
      if (lead + trail > part) lead = part - trail;
      leads[static_cast<std::size_t>(i)] = lead;
      trails[static_cast<std::size_t>(i)] = trail;
      total += l.CompressionBytes() - lead - trail;
    }
  }
  if (total > l.Capacity(leaf)) return kErrFileDamaged;
  std::memset(image, 0, l.node_size);
  uint8_t* area = image + kNodeHeaderSize;
  int at = 0;
  for (int i = 0; i < n; ++i) {
    const uint8_t* key = node->Key(i, l);
    if (ptr) {
      PutLe32(area + at, node->pointers[static_cast<std::size_t>(i)]);
      at += 4;
    }
    if (!compressed) {
      CopyKeyBytes(area + at, key, klen);
      at += klen;
      continue;
    }
    const int lead = leads[static_cast<std::size_t>(i)];
    const int trail = trails[static_cast<std::size_t>(i)];
    if (l.key_type & kKeyLeadingCompression) area[at++] = static_cast<uint8_t>(lead);
    if (l.key_type & kKeyTrailingCompression) area[at++] = static_cast<uint8_t>(trail);
    const int body = part - lead - trail;
    std::memcpy(area + at, key + lead, static_cast<std::size_t>(body));
    at += body;
    if (l.duplicates) {
      std::memcpy(area + at, key + part, 4);
      at += 4;
    }
  }
  node->header.nentries = static_cast<uint16_t>(n);
  node->header.bytes_used = static_cast<uint16_t>(at);
  EncodeNodeHeader(node->header, image);
  if (leaf && node->high_key.size() == static_cast<std::size_t>(klen))
    std::memcpy(area + l.Capacity(true), node->high_key.data(), static_cast<std::size_t>(klen));
  if (l.node_size > kNodeHeaderSize) {
    node->header.check_value = NodeCheckValue(l, image);
    PutLe16(image + kNodeCheckOffset, node->header.check_value);
  }
  return 0;
}

int LowerBound(const NodeLayout& l, const Node& node, const uint8_t* key, bool* equal) {
  int lo = 0, hi = node.Count();
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (KeyCompare(node.Key(mid, l), key, l.key_length) < 0) lo = mid + 1;
    else hi = mid;
  }
  *equal = lo < node.Count() && KeyCompare(node.Key(lo, l), key, l.key_length) == 0;
  return lo;
}

}  // namespace isam
