#include "isam/index/free_space_index.h"

#include <cstring>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_descent.h"
#include "isam/index/btree_node.h"
#include "isam/index/file_control_block.h"
#include "isam/index/header_lock.h"
#include "isam/index/key_compare.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

// The tree's nodes are stretches of the data file: the short header, then a
// node of the file's node size.
NodeLayout SpaceLayout(const FileControlBlock* fcb) {
  const FileHeader& h = fcb->header;
  NodeLayout l;
  l.node_size = h.node_size;
  l.key_length = kSpaceKeyLength;
  l.key_type = 0;
  l.duplicates = true;  // the last four key bytes are the stretch's position
  l.pad = 0;
  l.leaf_key_bytes = h.key_bytes;
  l.leaf_limit = h.leaf_limit;
  l.member = 0;
  return l;
}

bool LayoutUsable(const FileControlBlock* fcb, const NodeLayout& l) {
  // A member's nodes are the host's node size less a stretch header, so
  // not always whole sectors: only the room for entries is checked.
  return fcb->header.file_type == 2 && l.leaf_key_bytes >= kSpaceKeyLength &&
         l.leaf_key_bytes + kSpaceKeyLength + kNodeHeaderSize <= l.node_size && l.leaf_limit >= 2;
}

uint32_t StepBound(const FileControlBlock* fcb) {
  return fcb->header.logical_end / (fcb->header.node_size ? fcb->header.node_size : 128) + 4;
}

int ReadNode(FileControlBlock* fcb, const NodeLayout& l, uint32_t position, Node* node) {
  const FileHeader& h = fcb->header;
  const uint32_t hlen = VarHeaderLength(fcb);  // long inside a superfile host
  if (position < hlen + 1 ||
      static_cast<uint64_t>(position) + l.node_size - 1 > h.logical_end)
    return kErrFileDamaged;
  std::vector<uint8_t> image(hlen + l.node_size);
  int32_t count = 0;
  if (int rc = FilePositionedIo(0, &HolderOf(fcb)->os, position - hlen, image.data(),
                                static_cast<int32_t>(image.size()), &count))
    return rc;
  if (count != static_cast<int32_t>(image.size())) return 36;
  if (GetLe16(image.data()) != kMarkSpaceNode) return kErrFileDamaged;
  if (CurrentInstance()->node_checks > 0 && !NodeImageMatches(l, image.data() + hlen)) return kErrFileDamaged;
  return DecodeNode(l, image.data() + hlen, position, node);
}

// A write that fails part way puts the node's old bytes back: a torn node
// would hold half new keys behind an old count.
int WriteNode(FileControlBlock* fcb, const NodeLayout& l, Node* node) {
  std::vector<uint8_t> image(l.node_size);
  if (int rc = EncodeNode(l, node, image.data())) return rc;
  std::vector<uint8_t> before(l.node_size);
  int32_t got = 0;
  if (int rc = FilePositionedIo(0, &HolderOf(fcb)->os, node->position, before.data(), l.node_size, &got)) return rc;
  if (got != l.node_size) return 36;
  const int rc = FileIo(1, fcb, node->position, image.data(), l.node_size);
  if (rc != 0) FileIo(1, fcb, node->position, before.data(), l.node_size);
  return rc;
}

// Where new nodes may come from instead of the end of the file (one file
// at a time: every engine call runs under the engine's one mutex).
FileControlBlock* g_source_file = nullptr;
SpaceNodeSource* g_source = nullptr;

// Cuts a node stretch of `total` bytes off the front of the source: its
// position (the rest is marked free again behind it; a rest too short for
// a header goes with the node), or 0 when the source cannot give one.
uint32_t TakeFromSource(FileControlBlock* fcb, uint32_t* total) {
  if (g_source == nullptr || g_source_file != fcb || g_source->total < *total) return 0;
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint32_t at = g_source->position;
  uint32_t rest = g_source->total - *total;
  if (rest > 0 && rest < hlen + 1) {
    *total += rest;
    rest = 0;
  }
  if (rest > 0) {
    VarRecordHeader free_header;
    free_header.mark = kMarkFree;
    free_header.total = rest;
    free_header.member = fcb->header.superfile_member;
    if (WriteVarRecordHeader(fcb, at + *total, free_header) != 0) return 0;
  }
  g_source->position = at + *total;
  g_source->total = rest;
  return at;
}

// A new empty node (from the node source when one is set, else at the end
// of the file); its stretch header is written with it, so a walk of the
// records never meets a half-made node.
int NewNode(FileControlBlock* fcb, const NodeLayout& l, bool leaf, Node* node) {
  const uint32_t hlen = VarHeaderLength(fcb);  // long inside a superfile host
  uint32_t total = hlen + l.node_size;
  uint32_t at = TakeFromSource(fcb, &total);
  if (at == 0) at = ExtendFile(fcb, total, 1);
  if (at == 0) {
    const int rc = CurrentInstance() ? CurrentInstance()->eng_err : 0;
    return rc ? rc : 39;
  }
  InitEmptyNode(l, leaf, at + hlen, node);
  std::vector<uint8_t> image(total);
  PutLe16(image.data(), kMarkSpaceNode);
  PutLe32(image.data() + 2, total);
  PutLe32(image.data() + 6, l.node_size);
  if (hlen == kLongVarHeader) PutLe32(image.data() + 10, fcb->header.superfile_member);
  if (int rc = EncodeNode(l, node, image.data() + hlen)) return rc;
  int32_t count = 0;
  return FilePositionedIo(1, &HolderOf(fcb)->os, at, image.data(), static_cast<int32_t>(total), &count);
}

// Descends to the leaf that covers key; path gets the inner nodes used.
int Descend(FileControlBlock* fcb, const NodeLayout& l, const uint8_t* key, uint32_t* path, int* depth,
            Node* leaf) {
  const uint32_t bound = StepBound(fcb);
  uint32_t position = fcb->header.root;
  *depth = 0;
  for (uint32_t steps = 0;; ++steps) {
    if (steps > bound || position == 0) return kErrFileDamaged;
    if (int rc = ReadNode(fcb, l, position, leaf)) return rc;
    if (leaf->IsLeaf()) break;
    bool equal = false;
    const int i = LowerBound(l, *leaf, key, &equal);
    if (i == leaf->Count()) {
      position = leaf->header.rightlink;
      continue;
    }
    if (*depth == kMaxTreeDepth) return kErrTreeTooDeep;
    path[(*depth)++] = position;
    position = leaf->pointers[static_cast<std::size_t>(i)];
  }
  // A leaf whose high key lies below the key: the key belongs further right.
  for (uint32_t steps = 0; KeyCompare(key, leaf->high_key.data(), kSpaceKeyLength) > 0; ++steps) {
    if (leaf->header.rightlink == 0 || steps > bound) return kErrFileDamaged;
    if (int rc = ReadNode(fcb, l, leaf->header.rightlink, leaf)) return rc;
    if (!leaf->IsLeaf()) return kErrFileDamaged;
  }
  return 0;
}

// Splits the overfull `node` (already holding the new entry) and carries the
// separator up the path.
int SplitUpward(FileControlBlock* fcb, const NodeLayout& l, Node node, const uint32_t* path, int depth) {
  for (;;) {
    const int n = node.Count();
    const int keep = (n + 1) / 2;
    Node right;
    if (int rc = NewNode(fcb, l, node.IsLeaf(), &right)) return rc;
    for (int j = keep; j < n; ++j)
      right.Insert(right.Count(), node.Key(j, l), node.pointers[static_cast<std::size_t>(j)], l);
    std::vector<uint8_t> separator(node.Key(keep - 1, l), node.Key(keep - 1, l) + kSpaceKeyLength);
    for (int j = n - 1; j >= keep; --j) node.Erase(j, l);
    right.header.rightlink = node.header.rightlink;
    node.header.rightlink = right.position;
    if (node.IsLeaf()) {
      right.high_key = node.high_key;
      node.high_key = separator;
      right.header.leftlink = node.position;
    }
    if (int rc = WriteNode(fcb, l, &right)) return rc;
    if (int rc = WriteNode(fcb, l, &node)) return rc;
    if (node.IsLeaf() && right.header.rightlink != 0) {
      Node neighbour;
      if (int rc = ReadNode(fcb, l, right.header.rightlink, &neighbour)) return rc;
      neighbour.header.leftlink = right.position;
      if (int rc = WriteNode(fcb, l, &neighbour)) return rc;
    }
    if (depth == 0) {
      Node root;
      if (int rc = NewNode(fcb, l, false, &root)) return rc;
      const std::vector<uint8_t> top(kSpaceKeyLength, 0xFF);
      root.Insert(0, separator.data(), node.position, l);
      root.Insert(1, top.data(), right.position, l);
      if (int rc = WriteNode(fcb, l, &root)) return rc;
      fcb->header.root = root.position;
      return WriteFileHeader(fcb);
    }
    Node parent;
    uint32_t at = path[--depth];
    int j = -1;
    for (uint32_t steps = 0; j < 0; ++steps) {
      if (at == 0 || steps > StepBound(fcb)) return kErrFileDamaged;
      if (int rc = ReadNode(fcb, l, at, &parent)) return rc;
      if (parent.IsLeaf()) return kErrFileDamaged;
      for (int e = 0; e < parent.Count(); ++e)
        if (parent.pointers[static_cast<std::size_t>(e)] == node.position) j = e;
      at = parent.header.rightlink;
    }
    parent.pointers[static_cast<std::size_t>(j)] = right.position;
    parent.Insert(j, separator.data(), node.position, l);
    if (NodeFits(l, parent)) return WriteNode(fcb, l, &parent);
    node = parent;
  }
}

}  // namespace

void SetSpaceNodeSource(FileControlBlock* fcb, SpaceNodeSource* source) {
  g_source_file = source != nullptr ? fcb : nullptr;
  g_source = source;
}

void BuildSpaceKeyBytes(uint32_t member, uint32_t total, uint32_t position, uint8_t* key) {
  PutBe32(key, member);
  PutBe32(key + 4, total);
  PutBe32(key + 8, position);
}

SpaceKey DecodeSpaceKey(const uint8_t* key) {
  SpaceKey k;
  k.member = GetBe32(key);
  k.total = GetBe32(key + 4);
  k.position = GetBe32(key + 8);
  return k;
}

int SpaceIndexAdd(FileControlBlock* fcb, const uint8_t* key) {
  const NodeLayout l = SpaceLayout(fcb);
  if (!LayoutUsable(fcb, l)) return SetEngineError(kErrFileDamaged);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  const uint32_t suffix = GetBe32(key + 8);
  if (fcb->header.root == 0) {
    Node leaf;
    int rc = NewNode(fcb, l, true, &leaf);
    if (rc == 0) {
      leaf.Insert(0, key, suffix, l);
      rc = WriteNode(fcb, l, &leaf);
    }
    if (rc == 0) {
      fcb->header.root = leaf.position;
      rc = WriteFileHeader(fcb);
    }
    return SetEngineError(rc);
  }
  uint32_t path[kMaxTreeDepth];
  int depth = 0;
  Node leaf;
  if (int rc = Descend(fcb, l, key, path, &depth, &leaf)) return SetEngineError(rc);
  bool equal = false;
  const int i = LowerBound(l, leaf, key, &equal);
  if (equal) return SetEngineError(2);
  leaf.Insert(i, key, suffix, l);
  if (NodeFits(l, leaf)) return SetEngineError(WriteNode(fcb, l, &leaf));
  return SetEngineError(SplitUpward(fcb, l, leaf, path, depth));
}

int SpaceIndexRemove(FileControlBlock* fcb, const uint8_t* key) {
  const NodeLayout l = SpaceLayout(fcb);
  if (!LayoutUsable(fcb, l)) return SetEngineError(kErrFileDamaged);
  HeaderLock lock(fcb);
  if (lock.rc()) return lock.rc();
  if (fcb->header.root == 0) return SetEngineError(4);
  uint32_t path[kMaxTreeDepth];
  int depth = 0;
  Node leaf;
  if (int rc = Descend(fcb, l, key, path, &depth, &leaf)) return SetEngineError(rc);
  bool equal = false;
  const int i = LowerBound(l, leaf, key, &equal);
  if (!equal) return SetEngineError(4);
  leaf.Erase(i, l);
  return SetEngineError(WriteNode(fcb, l, &leaf));
}

int SpaceIndexFind(FileControlBlock* fcb, const uint8_t* target, bool greater, uint8_t* out) {
  const NodeLayout l = SpaceLayout(fcb);
  if (!LayoutUsable(fcb, l)) return -SetEngineError(kErrFileDamaged);
  HeaderLock lock(fcb);
  if (lock.rc()) return -lock.rc();
  if (fcb->header.root == 0) return 0;
  uint32_t path[kMaxTreeDepth];
  int depth = 0;
  Node leaf;
  if (int rc = Descend(fcb, l, target, path, &depth, &leaf)) return -SetEngineError(rc);
  bool equal = false;
  int i = LowerBound(l, leaf, target, &equal);
  if (greater && equal) ++i;
  const uint32_t bound = StepBound(fcb);
  for (uint32_t steps = 0; i >= leaf.Count(); ++steps) {
    if (leaf.header.rightlink == 0) return 0;
    if (steps > bound) return -SetEngineError(kErrFileDamaged);
    if (int rc = ReadNode(fcb, l, leaf.header.rightlink, &leaf)) return -SetEngineError(rc);
    i = 0;
  }
  std::memcpy(out, leaf.Key(i, l), kSpaceKeyLength);
  return 1;
}

int32_t SpaceIndexWalk(FileControlBlock* fcb, SpaceKeyVisitor visit, void* context) {
  const NodeLayout l = SpaceLayout(fcb);
  if (!LayoutUsable(fcb, l)) return -SetEngineError(kErrFileDamaged);
  HeaderLock lock(fcb);
  if (lock.rc()) return -lock.rc();
  if (fcb->header.root == 0) return 0;
  const uint32_t bound = StepBound(fcb);
  Node node;
  uint32_t position = fcb->header.root;
  for (uint32_t steps = 0;; ++steps) {
    if (steps > bound) return -SetEngineError(kErrFileDamaged);
    if (int rc = ReadNode(fcb, l, position, &node)) return -SetEngineError(rc);
    if (node.IsLeaf()) break;
    if (node.Count() == 0) return -SetEngineError(kErrFileDamaged);
    position = node.pointers[0];
  }
  int32_t visited = 0;
  uint32_t keys_bound = bound * static_cast<uint32_t>(l.node_size);
  for (uint32_t steps = 0;; ++steps) {
    for (int i = 0; i < node.Count(); ++i) {
      ++visited;
      if (static_cast<uint32_t>(visited) > keys_bound) return -SetEngineError(kErrFileDamaged);
      if (!visit(context, DecodeSpaceKey(node.Key(i, l)))) return visited;
    }
    if (node.header.rightlink == 0) return visited;
    if (steps > bound) return -SetEngineError(kErrFileDamaged);
    if (int rc = ReadNode(fcb, l, node.header.rightlink, &node)) return -SetEngineError(rc);
  }
}

}  // namespace isam
