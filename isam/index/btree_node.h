// On-disk index nodes: the 18-byte node header and the entry area, fixed or
// compressed, decoded into whole keys and encoded back. The tree code works on
// the decoded form only; this file is the one place that knows the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace isam {

constexpr std::size_t kNodeHeaderSize = 18;
constexpr uint32_t kNodeRestartMark = 0xFFFFFFFFu;  // leftlink of a node searches must not use

// Error returned when file content cannot be a valid node or tree (counts
// outside the node, links in a cycle, a path too deep): the file is damaged.
constexpr int kErrFileDamaged = 690;

// Key type bits that change the entry layout.
constexpr uint8_t kKeyLeadingCompression = 0x04;
constexpr uint8_t kKeyTrailingCompression = 0x08;

// Header bytes +14..+15, which the format leaves unused: a check value over
// the node's bytes (these two taken as 0), never 0; 0 means none (a node
// written before check values). EncodeNode sets it; reads hold a node to it
// only where the engine asks (NodeCheckScope, node_cache.h): a node written
// whole is never torn but by a crash, and the mend after one asks.
constexpr uint32_t kNodeCheckOffset = 14;

struct NodeHeader {
  uint32_t rightlink = 0;
  uint32_t leftlink = 0;
  uint16_t nentries = 0;
  uint16_t bytes_used = 0;
  uint16_t excword = 0;
  uint16_t check_value = 0;  // +14, see kNodeCheckOffset
  uint8_t member = 0;
  uint8_t leaf = 0;
};

void EncodeNodeHeader(const NodeHeader& h, uint8_t* out);
void DecodeNodeHeader(const uint8_t* in, NodeHeader* h);

// Everything about an index that fixes how its nodes are laid out.
struct NodeLayout {
  uint16_t node_size = 0;
  uint16_t key_length = 0;   // duplicate suffix included
  uint8_t key_type = 0;      // only bits 0x04 and 0x08 matter
  bool duplicates = false;
  uint8_t pad = 32;          // trailing fill byte for trailing compression
  uint16_t leaf_key_bytes = 0;  // header +52
  uint16_t leaf_limit = 0;      // header +94
  uint8_t member = 0;

  bool HasPointer(bool leaf) const { return !leaf || !duplicates; }
  int Capacity(bool leaf) const { return leaf ? leaf_key_bytes : node_size - static_cast<int>(kNodeHeaderSize); }
  int EntryLimit(bool leaf) const { return leaf ? leaf_limit : node_size / 4; }
  int CompressionBytes() const {
    return ((key_type & kKeyLeadingCompression) ? 1 : 0) + ((key_type & kKeyTrailingCompression) ? 1 : 0);
  }
  int CompressiblePart() const { return key_length - (duplicates ? 4 : 0); }
  // Largest encoded entry of a node kind.
  int MaxEntrySize(bool leaf) const { return key_length + CompressionBytes() + (HasPointer(leaf) ? 4 : 0); }
};

// The check value of a node's image (node_size bytes), and whether the
// image carries none or its own (false: torn, or damaged).
uint16_t NodeCheckValue(const NodeLayout& l, const uint8_t* image);
bool NodeImageMatches(const NodeLayout& l, const uint8_t* image);

// A node in decoded form: whole keys (key length bytes each, back to back),
// one pointer per key (child position in an inner node, record position in a
// leaf; for a duplicate leaf the big-endian suffix of the key) and, for a
// leaf, its high key.
struct Node {
  uint32_t position = 0;
  NodeHeader header;
  std::vector<uint8_t> keys;
  std::vector<uint32_t> pointers;
  std::vector<uint8_t> high_key;

  bool IsLeaf() const { return header.leaf != 0; }
  int Count() const { return static_cast<int>(pointers.size()); }
  const uint8_t* Key(int i, const NodeLayout& l) const { return keys.data() + static_cast<std::size_t>(i) * l.key_length; }
  uint8_t* Key(int i, const NodeLayout& l) { return keys.data() + static_cast<std::size_t>(i) * l.key_length; }
  void Insert(int i, const uint8_t* key, uint32_t pointer, const NodeLayout& l);
  void Erase(int i, const NodeLayout& l);
};

// A node to copy a leaf into, kept per thread between searches so that a
// lookup or an add reuses the room of its key and pointer lists instead of
// allocating them each time. A search started while the thread's node is in
// use (a nested one) gets a node of its own.
class ReusedNode {
 public:
  ReusedNode() : node_(Spare().busy ? &own_ : &Spare().node) {
    if (node_ != &own_) Spare().busy = true;
  }
  ~ReusedNode() {
    if (node_ != &own_) Spare().busy = false;
  }
  ReusedNode(const ReusedNode&) = delete;
  ReusedNode& operator=(const ReusedNode&) = delete;
  Node& operator*() { return *node_; }
  Node* operator->() { return node_; }
  Node* get() { return node_; }

 private:
  struct Slot {
    Node node;
    bool busy = false;
  };
  static Slot& Spare() {
    thread_local Slot slot;
    return slot;
  }
  Node own_;
  Node* node_;
};

// Sets up an empty node of the given kind (links 0, high key all 0xFF).
void InitEmptyNode(const NodeLayout& l, bool leaf, uint32_t position, Node* node);
inline void InitNodeBuffer(const NodeLayout& l, bool leaf, uint32_t position, Node* node) {
  InitEmptyNode(l, leaf, position, node);
}

// Inserts (key, pointer) in front of entry `at` (0-based; Count() appends)
// and removes entry `at`. The node is re-encoded, compression included,
// when it is written.
inline void InsertKeyInNode(const NodeLayout& l, Node* node, int at, const uint8_t* key, uint32_t pointer) {
  node->Insert(at, key, pointer, l);
}
inline void DeleteKeyFromNode(const NodeLayout& l, Node* node, int at) { node->Erase(at, l); }

// Writes a record position into the last four bytes of a key, most
// significant byte first, so equal values order by position.
void PutKeyRecordPosition(uint8_t* key, int key_length, uint32_t position);
// The key as an index stores it: `key` (key length bytes), with the
// position in its last four bytes for an index with duplicates.
void MakeStoredKey(const NodeLayout& l, const uint8_t* key, uint32_t position, uint8_t* out);

// Decodes a node image of node size bytes. kErrFileDamaged when its counts
// do not fit the node (entry count above the limit, bytes used above the
// capacity, compression counts outside the key, a leaf flag other than 0/1).
int DecodeNode(const NodeLayout& l, const uint8_t* image, uint32_t position, Node* node);

// Bytes the entries of `node` take when encoded.
int EncodedEntryBytes(const NodeLayout& l, const Node& node, int first, int count);

// True when the node's entries fit its capacity and entry limit.
bool NodeFits(const NodeLayout& l, const Node& node);

// Encodes into a node image of node size bytes (the rest of the image is
// zeroed). Sets header.nentries and header.bytes_used. Returns 0, or
// kErrFileDamaged when the entries do not fit (a caller bug guarded).
int EncodeNode(const NodeLayout& l, Node* node, uint8_t* image);

// First entry whose key is >= key (binary search); *equal tells whether it
// is equal. Returns Count() when every key is smaller.
int LowerBound(const NodeLayout& l, const Node& node, const uint8_t* key, bool* equal);

}  // namespace isam
