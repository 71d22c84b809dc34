#include "isam/index/key_search.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "isam/index/btree_descent.h"
#include "isam/index/file_control_block.h"
#include "isam/index/key_compare.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

constexpr int kEmptyIndex = 1;   // internal: the index holds no root
constexpr int kAtEnd = 1;        // internal: no node further along
constexpr int kBackLinkTries = 10;
// current_node of a search position set from a key alone (SetSearchKey):
// never a node position, so the next step searches from the key.
constexpr uint32_t kSearchFromKey = 0xFFFFFFFFu;

FileControlBlock* IndexOf(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return nullptr;
  if (fcb->header.file_type != kFileTypeIndex) {
    SetEngineError(48);
    return nullptr;
  }
  return fcb;
}

uint32_t Take(FileControlBlock* fcb, const Node& leaf, int i, uint8_t* out) {
  const NodeLayout& l = fcb->layout;
  std::memcpy(fcb->current_key, leaf.Key(i, l), l.key_length);
  fcb->current_node = leaf.position;
  fcb->current_entry = i + 1;
  if (out != nullptr) std::memcpy(out, leaf.Key(i, l), l.key_length);
  SetEngineError(0);
  return leaf.pointers[static_cast<std::size_t>(i)];
}

uint32_t Fail(int rc) {
  SetEngineError(rc);
  return 0;
}

// The leaf whose range holds target: 0, kEmptyIndex or an error.
int LeafFor(FileControlBlock* fcb, const uint8_t* target, Node* leaf) {
  for (int restart = 0; restart <= kMaxRestarts; ++restart) {
    int rc = 0;
    bool unchecked = false;
    const uint32_t root = DescentRoot(fcb, restart, &unchecked, &rc);
    if (rc != 0) return rc;
    if (root == 0) return kEmptyIndex;
    rc = DescendToLeaf(fcb, root, target, nullptr, leaf, nullptr, unchecked);
    if (rc == 0) rc = MoveRightToCover(fcb, target, leaf, false);
    if (rc == kDescentRestart) continue;
    if (rc == kErrFileDamaged) LogNoLeaf("fndkey", fcb);
    return rc;
  }
  return kErrFileDamaged;
}

// Moves to the next leaf to the right that holds an entry: 0, kAtEnd or an
// error.
int NextFilledLeaf(FileControlBlock* fcb, Node* leaf) {
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0; WalkAllowed(fcb, steps, &bound); ++steps) {
    const uint32_t right = leaf->header.rightlink;
    if (right == 0) return kAtEnd;
    if (int rc = FetchNode(fcb, right, leaf)) return rc;
    if (leaf->header.leftlink == kNodeRestartMark) return kDescentRestart;
    if (!leaf->IsLeaf()) return kErrFileDamaged;
    if (leaf->Count() > 0) return 0;
  }
  return kErrFileDamaged;
}

// The leaf in front of `leaf`, found by its back link and checked against
// the neighbour's right link (walking right from the back link when a split
// put a node in between): 0, kAtEnd, 34 or an error.
int PreviousLeaf(FileControlBlock* fcb, Node* leaf) {
  uint32_t bound = WalkBound(fcb);
  const uint32_t here = leaf->position;
  for (int attempt = 0; attempt < kBackLinkTries; ++attempt) {
    uint32_t back = leaf->header.leftlink;
    if (back == 0) return kAtEnd;
    if (back == kNodeRestartMark) return kErrFileDamaged;
    Node prev;
    uint32_t steps = 0;
    for (; WalkAllowed(fcb, steps, &bound); ++steps) {
      if (int rc = FetchNode(fcb, back, &prev)) return rc;
      if (!prev.IsLeaf()) return kErrFileDamaged;
      if (prev.header.rightlink == here) {
        *leaf = prev;
        return 0;
      }
      if (prev.header.rightlink == 0) break;
      back = prev.header.rightlink;
    }
    if (!WalkAllowed(fcb, steps, &bound)) return kErrFileDamaged;
    if (int rc = FetchNode(fcb, here, leaf)) return rc;  // look at the links again
  }
  return 34;
}

int PreviousFilledLeaf(FileControlBlock* fcb, Node* leaf) {
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0; WalkAllowed(fcb, steps, &bound); ++steps) {
    if (int rc = PreviousLeaf(fcb, leaf)) return rc;
    if (leaf->Count() > 0) return 0;
  }
  return kErrFileDamaged;
}

uint32_t TakeBefore(FileControlBlock* fcb, Node* leaf, int i, uint8_t* out) {
  if (i > 0) return Take(fcb, *leaf, i - 1, out);
  const int rc = PreviousFilledLeaf(fcb, leaf);
  if (rc == kAtEnd) return Fail(0);
  if (rc != 0) return Fail(rc);
  return Take(fcb, *leaf, leaf->Count() - 1, out);
}

uint32_t TakeFrom(FileControlBlock* fcb, Node* leaf, int i, uint8_t* out) {
  if (i < leaf->Count()) return Take(fcb, *leaf, i, out);
  const int rc = NextFilledLeaf(fcb, leaf);
  if (rc == kAtEnd) return Fail(0);
  if (rc != 0) return Fail(rc);
  return Take(fcb, *leaf, 0, out);
}

// The leftmost (first) or rightmost (last) leaf: 0, kEmptyIndex or an error.
int EdgeLeaf(FileControlBlock* fcb, bool last, Node* node) {
  for (int restart = 0; restart <= kMaxRestarts; ++restart) {
    int rc = 0;
    uint32_t position = CurrentRoot(fcb, &rc);
    if (rc != 0) return rc;
    if (position == 0) return kEmptyIndex;
    uint32_t bound = WalkBound(fcb);
    int levels = 0;
    bool again = false;
    for (uint32_t steps = 0;; ++steps) {
      // A walk that only ever went down, longer than the file has nodes,
      // went round through child pointers: too deep.
      if (!WalkAllowed(fcb, steps, &bound))
        return static_cast<uint32_t>(levels) == steps ? kErrTreeTooDeep : kErrFileDamaged;
      if (position == 0) return kErrFileDamaged;
      if ((rc = FetchNode(fcb, position, node)) != 0) return rc;
      if (node->header.leftlink == kNodeRestartMark) {
        again = true;
        break;
      }
      if (last && node->header.rightlink != 0) {
        position = node->header.rightlink;
        continue;
      }
      if (node->IsLeaf()) return 0;
      if (node->Count() == 0) return kErrFileDamaged;
      if (++levels > kMaxTreeDepth) return kErrTreeTooDeep;
      position = node->pointers[last ? static_cast<std::size_t>(node->Count() - 1) : 0];
    }
    if (!again) break;
  }
  return kErrFileDamaged;
}

bool HoldsCurrentKey(FileControlBlock* fcb, const Node& node) {
  const NodeLayout& l = fcb->layout;
  return node.IsLeaf() && node.header.leftlink != kNodeRestartMark && fcb->current_entry >= 1 &&
         fcb->current_entry <= node.Count() &&
         KeyCompare(node.Key(fcb->current_entry - 1, l), fcb->current_key, l.key_length) == 0;
}

// frskey and lstkey: the first entry of the leftmost filled leaf, or the
// last of the rightmost one.
uint32_t EdgeKey(int file, bool last, uint8_t* out) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  Node leaf;
  int rc = EdgeLeaf(fcb, last, &leaf);
  if (rc == 0 && leaf.Count() == 0) rc = last ? PreviousFilledLeaf(fcb, &leaf) : NextFilledLeaf(fcb, &leaf);
  if (rc == kDescentRestart) rc = kErrFileDamaged;
  if (rc == kEmptyIndex || rc == kAtEnd) {
    fcb->current_node = 0;
    fcb->current_entry = 0;
    return Fail(0);
  }
  if (rc == kErrFileDamaged) LogNoLeaf(last ? "lstkey" : "frskey", fcb);
  if (rc != 0) return Fail(rc);
  return Take(fcb, leaf, last ? leaf.Count() - 1 : 0, out);
}

// fndkey from the index's current key (a copy: the search replaces it).
uint32_t SearchFromCurrentKey(FileControlBlock* fcb, char mode, uint8_t* out) {
  const std::vector<uint8_t> key(fcb->current_key, fcb->current_key + fcb->layout.key_length);
  return fndkey(fcb, key.data(), mode, out);
}

// One step along the leaves from the current key: the next (or previous)
// entry of its node, else of the next filled leaf that way. When the node
// no longer holds the current key (another update moved it) or cannot be
// read as a node, the step searches again from the key.
uint32_t StepFromCurrentKey(int file, bool forward, uint8_t* out) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  if (fcb->current_node == 0) return Fail(0);
  const char again = forward ? kFindGreater : kFindLess;
  if (fcb->current_node == kSearchFromKey) return SearchFromCurrentKey(fcb, again, out);
  NodeBuffer* b = getnode(0, fcb->current_node, fcb);
  const int rc = b == nullptr ? NodeCacheError() : 0;
  if (rc != 0 && rc != 69 && rc != kErrFileDamaged) return Fail(rc);
  if (rc != 0 || !HoldsCurrentKey(fcb, b->node)) return SearchFromCurrentKey(fcb, again, out);
  const int i = forward ? fcb->current_entry : fcb->current_entry - 2;  // 0-based neighbour
  if (i >= 0 && i < b->node.Count()) return Take(fcb, b->node, i, out);
  Node leaf = b->node;
  const int step = forward ? NextFilledLeaf(fcb, &leaf) : PreviousFilledLeaf(fcb, &leaf);
  if (step == kAtEnd) return Fail(0);
  if (step == kDescentRestart) return SearchFromCurrentKey(fcb, again, out);
  if (step != 0) return Fail(step);
  return Take(fcb, leaf, forward ? 0 : leaf.Count() - 1, out);
}

}  // namespace

uint32_t fndkey(FileControlBlock* fcb, const uint8_t* target, char mode, uint8_t* out) {
  if (mode != kFindEqual && mode != kFindAtLeast && mode != kFindGreater && mode != kFindAtMost &&
      mode != kFindLess)
    return Fail(116);
  for (int restart = 0; restart <= kMaxRestarts; ++restart) {
    ReusedNode reused;
    Node& leaf = *reused;
    const int rc = LeafFor(fcb, target, &leaf);
    if (rc == kEmptyIndex) return Fail(0);
    if (rc != 0) return Fail(rc);
    bool equal = false;
    const int i = LowerBound(fcb->layout, leaf, target, &equal);
    uint32_t at = 0;
    switch (mode) {
      case kFindEqual:
        return equal ? Take(fcb, leaf, i, out) : Fail(0);
      case kFindAtLeast:
        at = TakeFrom(fcb, &leaf, i, out);
        break;
      case kFindGreater:
        at = TakeFrom(fcb, &leaf, equal ? i + 1 : i, out);
        break;
      case kFindAtMost:
        if (equal) return Take(fcb, leaf, i, out);
        at = TakeBefore(fcb, &leaf, i, out);
        break;
      default:
        at = TakeBefore(fcb, &leaf, i, out);
        break;
    }
    // A neighbour marked for restart sends the whole search round again.
    if (at != 0 || CurrentInstance()->eng_err != kDescentRestart) return at;
  }
  return Fail(kErrFileDamaged);
}

uint32_t FindKeyByMode(int file, const uint8_t* target, char mode, uint8_t* out) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  return fndkey(fcb, target, mode, out);
}

uint32_t FindKeyEqual(int file, const uint8_t* t, uint8_t* out) { return FindKeyByMode(file, t, kFindEqual, out); }
uint32_t FindKeyAtLeast(int file, const uint8_t* t, uint8_t* out) { return FindKeyByMode(file, t, kFindAtLeast, out); }
uint32_t FindKeyGreater(int file, const uint8_t* t, uint8_t* out) { return FindKeyByMode(file, t, kFindGreater, out); }
uint32_t FindKeyAtMost(int file, const uint8_t* t, uint8_t* out) { return FindKeyByMode(file, t, kFindAtMost, out); }
uint32_t FindKeyLess(int file, const uint8_t* t, uint8_t* out) { return FindKeyByMode(file, t, kFindLess, out); }

uint32_t FindKeyAfter(int file, const uint8_t* target, bool forward, uint8_t* out) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  if (fcb->current_node != 0 && fcb->current_node != kSearchFromKey &&
      std::memcmp(fcb->current_key, target, fcb->layout.key_length) == 0)
    return StepFromCurrentKey(file, forward, out);
  return fndkey(fcb, target, forward ? kFindGreater : kFindLess, out);
}

uint32_t frskey(int file, uint8_t* out) { return EdgeKey(file, false, out); }

uint32_t lstkey(int file, uint8_t* out) { return EdgeKey(file, true, out); }

uint32_t IndexNextKey(int file, uint8_t* out) { return StepFromCurrentKey(file, true, out); }

uint32_t IndexPreviousKey(int file, uint8_t* out) { return StepFromCurrentKey(file, false, out); }

void SetSearchKey(int file, const uint8_t* key) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return;
  std::memcpy(fcb->current_key, key, fcb->layout.key_length);
  fcb->current_node = kSearchFromKey;
  fcb->current_entry = 0;
}

int32_t KeyRangeCount(int file, const uint8_t* low, const uint8_t* high) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  const NodeLayout& l = fcb->layout;
  Node leaf;
  int rc = LeafFor(fcb, low, &leaf);
  if (rc == kEmptyIndex) return static_cast<int32_t>(Fail(0));
  if (rc != 0) return static_cast<int32_t>(Fail(rc));
  bool equal = false;
  int i = LowerBound(l, leaf, low, &equal);
  int32_t count = 0;
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0;; ++steps) {
    for (; i < leaf.Count(); ++i) {
      if (KeyCompare(leaf.Key(i, l), high, l.key_length) > 0) {
        SetEngineError(0);
        return count;
      }
      ++count;
    }
    if (!WalkAllowed(fcb, steps, &bound)) return static_cast<int32_t>(Fail(kErrFileDamaged));
    rc = NextFilledLeaf(fcb, &leaf);
    if (rc == kAtEnd) break;
    if (rc == kDescentRestart) rc = kErrFileDamaged;
    if (rc != 0) return static_cast<int32_t>(Fail(rc));
    i = 0;
  }
  SetEngineError(0);
  return count;
}

uint32_t KeyAtOffsetFrom(int file, const uint8_t* target, int32_t n, uint8_t* out) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  if (n < 0) return Fail(116);
  Node leaf;
  int rc = LeafFor(fcb, target, &leaf);
  if (rc == kEmptyIndex) return Fail(0);
  if (rc != 0) return Fail(rc);
  bool equal = false;
  int i = LowerBound(fcb->layout, leaf, target, &equal) + n;
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0; i >= leaf.Count(); ++steps) {
    if (!WalkAllowed(fcb, steps, &bound)) return Fail(kErrFileDamaged);
    i -= leaf.Count();
    rc = NextFilledLeaf(fcb, &leaf);
    if (rc == kAtEnd) return Fail(0);
    if (rc == kDescentRestart) rc = kErrFileDamaged;
    if (rc != 0) return Fail(rc);
  }
  return Take(fcb, leaf, i, out);
}

uint32_t KeyAtPercent(int file, uint8_t* out, int percent) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  if (percent < 0 || percent > 100) return Fail(60);
  int rc = 0;
  uint32_t position = CurrentRoot(fcb, &rc);
  if (rc != 0) return Fail(rc);
  if (position == 0) return Fail(0);
  int64_t p = static_cast<int64_t>(percent) * 100;
  uint32_t bound = WalkBound(fcb);
  Node node;
  for (uint32_t steps = 0;; ++steps) {
    if (!WalkAllowed(fcb, steps, &bound) || steps > kMaxTreeDepth + 1) return Fail(kErrFileDamaged);
    if ((rc = FetchNode(fcb, position, &node)) != 0) return Fail(rc);
    const int n = node.Count();
    const int64_t unit = n == 0 ? 10000 : 10000 / n;
    int64_t entry = unit == 0 ? n : (p + unit - 1) / unit;
    if (entry > n) entry = n;
    if (entry < 1) entry = 1;
    p = (p - (entry - 1) * unit) * n;
    if (p > 10000) p = 10000;
    if (p < 0) p = 0;
    if (node.IsLeaf()) {
      if (n > 0) return Take(fcb, node, static_cast<int>(entry - 1), out);
      rc = NextFilledLeaf(fcb, &node);
      if (rc == kDescentRestart) rc = kErrFileDamaged;
      if (rc == 0) return Take(fcb, node, 0, out);
      if (rc != kAtEnd) return Fail(rc);
      // Past the last leaf: the last key, the current key untouched.
      const uint32_t keep_node = fcb->current_node;
      const int keep_entry = fcb->current_entry;
      std::vector<uint8_t> keep(fcb->current_key, fcb->current_key + sizeof fcb->current_key);
      const uint32_t at = lstkey(file, out);
      fcb->current_node = keep_node;
      fcb->current_entry = keep_entry;
      std::memcpy(fcb->current_key, keep.data(), keep.size());
      return at;
    }
    if (n == 0) return Fail(kErrFileDamaged);
    position = node.pointers[static_cast<std::size_t>(entry - 1)];
  }
}

int KeyPercentOf(int file, const uint8_t* target) { return KeyPercentOf(file, 50, 50, target); }

int KeyPercentOf(int file, int step, int start, const uint8_t* target) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  const NodeLayout& l = fcb->layout;
  std::vector<uint8_t> key(l.key_length);
  int percent = start < 0 ? 0 : start > 100 ? 100 : start;
  while (step > 2) {
    if (KeyAtPercent(file, key.data(), percent) == 0) return 0;
    step /= 2;
    if (KeyCompare(target, key.data(), l.key_length) > 0) percent += step;
    else percent -= step;
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  }
  return percent;
}

int32_t EstimateKeysBetween(int file, const uint8_t* key1, const uint8_t* key2) {
  FileControlBlock* fcb = IndexOf(file);
  if (fcb == nullptr) return 0;
  const int p1 = KeyPercentOf(file, key1);
  const int p2 = KeyPercentOf(file, key2);
  const int64_t count = fcb->header.active_count;
  return static_cast<int32_t>((count * std::abs(p2 - p1) + count / 2) / 100);
}

}  // namespace isam
