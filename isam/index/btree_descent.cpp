#include "isam/index/btree_descent.h"

#include <cstdio>

#include "isam/index/file_control_block.h"
#include "isam/index/key_compare.h"
#include "isam/index/member_files.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"

namespace isam {

uint32_t WalkBound(FileControlBlock* fcb) {
  const FileControlBlock* holder = HolderOf(fcb);
  const uint32_t size = fcb->header.node_size ? fcb->header.node_size : 128;
  return (holder->header.logical_end / size) + 2;
}

bool WalkAllowed(FileControlBlock* fcb, uint32_t steps, uint32_t* bound) {
  if (steps <= *bound) return true;
  if (!IsShared(fcb)) return false;
  uint32_t size = 0;
  if (OsFileSizeChecked(&HolderOf(fcb)->os, &size) != 0) return false;
  const uint32_t node = fcb->header.node_size ? fcb->header.node_size : 128;
  const uint32_t fresh = size / node + 2;
  if (fresh > *bound) *bound = fresh;
  return steps <= *bound;
}

uint32_t CurrentRoot(FileControlBlock* fcb, int* rc) {
  *rc = 0;
  if (IsShared(fcb) && fcb->header_lock_depth == 0) {
    if ((*rc = ReadFileHeader(fcb)) != 0) return 0;
  }
  return fcb->header.root;
}

uint32_t DescentRoot(FileControlBlock* fcb, int restart, bool* unchecked, int* rc) {
  *unchecked = false;
  *rc = 0;
  // Nodes are never freed and a root that splits gets a right neighbour for
  // good: the root this block last saw is still the root exactly when it
  // has no right link, which the descent checks when it reads it.
  if (restart == 0 && IsShared(fcb) && fcb->header_lock_depth == 0 && fcb->header.root != 0) {
    *unchecked = true;
    return fcb->header.root;
  }
  return CurrentRoot(fcb, rc);
}

int DescendToLeaf(FileControlBlock* fcb, uint32_t root, const uint8_t* target, DescentPath* path,
                  Node* node, bool* leaf_locked, bool root_unchecked) {
  const NodeLayout& l = fcb->layout;
  uint32_t bound = WalkBound(fcb);
  if (path != nullptr) path->depth = 0;
  if (leaf_locked != nullptr) *leaf_locked = false;
  int levels = 0;
  uint32_t position = root;
  for (uint32_t steps = 0;; ++steps) {
    // A walk that only ever went down, longer than the file has nodes,
    // went round through child pointers: too deep.
    if (!WalkAllowed(fcb, steps, &bound))
      return static_cast<uint32_t>(levels) == steps ? kErrTreeTooDeep : kErrFileDamaged;
    if (position == 0) return kErrFileDamaged;
    // Inner nodes are read in place (valid until the next cache call); only
    // the leaf is copied out.
    // On the level where the leaf was found last time the node is locked
    // before it is read: the leaf then comes once, under its lock, instead
    // of lock-free and again once locked.
    const bool lock_first = leaf_locked != nullptr && fcb->leaf_level_hint == levels;
    if (lock_first) {
      if (int rc = LockIndexNode(fcb, position)) return rc;
    }
    NodeBuffer* b = getnode(0, position, fcb);
    if (b == nullptr) {
      const int rc = NodeCacheError();
      if (lock_first) UnlockIndexNode(fcb, position);
      return rc;
    }
    const Node& n = b->node;
    if (n.header.leftlink == kNodeRestartMark || (root_unchecked && steps == 0 && n.header.rightlink != 0)) {
      if (lock_first) UnlockIndexNode(fcb, position);
      return kDescentRestart;
    }
    if (n.IsLeaf()) {
      fcb->leaf_level_hint = levels;
      *node = n;
      if (lock_first) *leaf_locked = true;
      return 0;
    }
    if (lock_first) UnlockIndexNode(fcb, position);  // the tree grew a level
    bool equal = false;
    const int i = LowerBound(l, n, target, &equal);
    if (i == n.Count()) {
      // The target lies beyond this node: a split moved it to the right.
      if (n.header.rightlink == 0) return kErrFileDamaged;
      position = n.header.rightlink;
      continue;
    }
    if (levels == kMaxTreeDepth) return kErrTreeTooDeep;
    if (path != nullptr) path->nodes[path->depth++] = position;
    ++levels;
    position = NodeChildPointer(b, i + 1);
  }
}

int MoveRightToCover(FileControlBlock* fcb, const uint8_t* target, Node* leaf, bool locked) {
  const NodeLayout& l = fcb->layout;
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0;; ++steps) {
    if (leaf->header.leftlink == kNodeRestartMark) return kDescentRestart;
    if (!leaf->IsLeaf()) return kErrFileDamaged;
    if (leaf->high_key.size() != l.key_length) return kErrFileDamaged;
    if (KeyCompare(target, leaf->high_key.data(), l.key_length) <= 0) return 0;
    const uint32_t right = leaf->header.rightlink;
    if (right == 0 || !WalkAllowed(fcb, steps, &bound)) return kErrFileDamaged;
    if (locked) {
      if (int rc = LockIndexNode(fcb, right)) return rc;
      UnlockIndexNode(fcb, leaf->position);
    }
    if (int rc = FetchNode(fcb, right, leaf)) {
      leaf->position = right;  // the lock the caller must release
      return rc;
    }
  }
}

int LockIndexNode(FileControlBlock* fcb, uint32_t position) {
  FileControlBlock* holder = HolderOf(fcb);
  uint32_t unit = NodeLockUnit(holder->header.file_type, fcb->header.node_size, position, -1);
  SuperfileNodeLockUnit(holder, position, &unit);  // inside a host: by byte position
  if (int rc = NodeLock(&holder->os, unit, holder->header.logical_end)) return SetEngineError(rc);
  if (TakesLocks(&holder->os) && holder->held_node_count < 4)
    holder->held_nodes[holder->held_node_count++] = position;
  return 0;
}

int UnlockIndexNode(FileControlBlock* fcb, uint32_t position) {
  FileControlBlock* holder = HolderOf(fcb);
  uint32_t unit = NodeLockUnit(holder->header.file_type, fcb->header.node_size, position, -1);
  SuperfileNodeLockUnit(holder, position, &unit);  // inside a host: by byte position
  for (int i = 0; i < holder->held_node_count; ++i) {
    if (holder->held_nodes[i] != position) continue;
    holder->held_nodes[i] = holder->held_nodes[--holder->held_node_count];
    break;
  }
  if (int rc = NodeUnlock(&holder->os, unit)) return SetEngineError(rc);
  return 0;
}

int PutIndexNode(FileControlBlock* fcb, Node* node, bool release_lock) {
  const int rc = StoreNode(fcb, node);
  if (release_lock) UnlockIndexNode(fcb, node->position);
  return rc;
}

uint32_t NewIndexNode(FileControlBlock* fcb, bool leaf, Node* node) {
  const uint32_t size = fcb->header.node_size;
  const uint32_t position = ExtendFile(fcb, size, size);
  if (position == 0) return 0;
  if (LockIndexNode(fcb, position) != 0) return 0;
  InitEmptyNode(fcb->layout, leaf, position, node);
  return position;
}

void LogRestartsExhausted(const char* operation, const FileControlBlock* fcb) {
  char text[80];
  std::snprintf(text, sizeof text, "Restarts do not end during %s...", operation);
  WriteStatusLog(text, 57);
  WriteStatusLog(fcb->name, 0);
}

void LogNoLeaf(const char* operation, const FileControlBlock* fcb) {
  char text[64];
  std::snprintf(text, sizeof text, "No leaf node found during %s...", operation);
  WriteStatusLog(text, 0);
  WriteStatusLog(fcb->name, 0);
}

}  // namespace isam
