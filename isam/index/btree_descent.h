// What insert, delete and search share on the way down a B-link tree: the
// lock-free descent from the root (moving right past splits, restarting on a
// node marked 0xFFFFFFFF), node locks, new nodes at the end of the file, and
// the bounds that keep a damaged file from looping.
#pragma once

#include <cstdint>

#include "isam/index/btree_node.h"

namespace isam {

struct FileControlBlock;

// Inner levels a descent may pass; a deeper path is an error, never an
// overflow. A sound tree never comes near: every inner node has at least
// two children and a file holds at most 2^32 / 128 nodes, so 25 levels
// reach every node a file can have. (Ten levels, as once kept, were reached
// by 768-byte nodes of 200-byte keys, three to a node, at about sixteen
// thousand keys: such an index could not grow further.)
constexpr int kMaxTreeDepth = 32;
constexpr int kErrTreeTooDeep = 240;
// A descent that must start again because it met a node marked for restart.
constexpr int kDescentRestart = -1;
constexpr int kMaxRestarts = 100;

struct DescentPath {
  uint32_t nodes[kMaxTreeDepth] = {};
  int depth = 0;
};

// Most nodes a walk along links may visit in this file (its node count and
// a little more): a longer walk is a cycle in a damaged file.
uint32_t WalkBound(FileControlBlock* fcb);
// True while a walk of `steps` steps stays within *bound. A shared file may
// have grown under another process since the bound was taken: before the
// walk is called endless, *bound is taken again from the OS file size.
bool WalkAllowed(FileControlBlock* fcb, uint32_t steps, uint32_t* bound);

// The root of the index, read again from disk first for a shared file.
// 0 for an empty index; *rc gets an I/O code.
uint32_t CurrentRoot(FileControlBlock* fcb, int* rc);

// Descends from `root` to the leaf whose range may hold `target`, taking no
// locks. Fills `path` with the inner nodes used on each level (when path is
// not null) and *leaf with a copy of the leaf. Returns 0, kDescentRestart,
// kErrTreeTooDeep (more than kMaxTreeDepth inner levels), kErrFileDamaged (a zero or
// impossible child pointer, an inner node without a fitting entry, a walk
// beyond WalkBound) or a node-read code.
// With `leaf_locked` (for a caller that locks the leaf next), the node on the
// level where this index's leaf was found last is locked before it is read;
// *leaf_locked tells whether the leaf returned is held locked that way (then
// read under its lock: no need to fetch it again). On an error no such lock
// is held; a node lock that cannot be had gives its code.
// With `root_unchecked`, `root` came from DescentRoot unread: a node there
// with a right link is no longer the root, and the descent answers
// kDescentRestart (the caller's next round reads the header).
int DescendToLeaf(FileControlBlock* fcb, uint32_t root, const uint8_t* target, DescentPath* path,
                  Node* leaf, bool* leaf_locked = nullptr, bool root_unchecked = false);

// The root a descent starts from in round `restart` of its caller: on the
// first round of a shared file whose header this block has read, the root it
// last saw, unread (*unchecked true: pass it to DescendToLeaf); otherwise
// CurrentRoot. *rc gets CurrentRoot's I/O code.
uint32_t DescentRoot(FileControlBlock* fcb, int restart, bool* unchecked, int* rc);

// Moves right from a leaf while target is beyond its high key, fetching each
// right neighbour (and, with `locked`, locking it before the current one is
// released: the caller holds the lock of *leaf). Same codes as the descent.
int MoveRightToCover(FileControlBlock* fcb, const uint8_t* target, Node* leaf, bool locked);

// Node locks on the holder of the index (no-ops for an exclusive file).
int LockIndexNode(FileControlBlock* fcb, uint32_t position);
int UnlockIndexNode(FileControlBlock* fcb, uint32_t position);

// Writes a changed node (StoreNode: its entry count and bytes used follow
// its entries) and, with release_lock, lets its node lock go whatever the
// write's outcome: 0 or StoreNode's code.
int PutIndexNode(FileControlBlock* fcb, Node* node, bool release_lock);

// A new node at the end of the file, locked and set up empty: the position,
// or 0 with eng_err set.
uint32_t NewIndexNode(FileControlBlock* fcb, bool leaf, Node* node);

// Writes the status-log lines for a descent that found no leaf.
void LogNoLeaf(const char* operation, const FileControlBlock* fcb);
// Writes the status-log lines (code 57) for an operation that met nodes
// marked for restart kMaxRestarts times: the report a catastrophic end
// would give, while the operation itself returns kErrFileDamaged.
void LogRestartsExhausted(const char* operation, const FileControlBlock* fcb);

}  // namespace isam
