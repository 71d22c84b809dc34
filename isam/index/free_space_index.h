// The free-space index of a variable-length data file: a B-link tree of
// 12-byte keys (member, total length, position; all big-endian, so keys sort
// by member, then size, then position) whose nodes are stretches of the
// data file itself, marked 0xFBBF, so a physical walk of the records steps
// over them.
//
// Every call here runs under the data file's header lock (taken here,
// nesting with the caller's), which serialises all changes to the tree
// between processes; nodes are never merged or given back, an emptied leaf
// stays linked and is filled again later.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

constexpr int kSpaceKeyLength = 12;

// Space the tree may cut its new nodes from instead of growing the file: a
// stretch marked free that no key names (yet). While set, each new node
// takes the front of it (position and total move on). Unset with null.
struct SpaceNodeSource {
  uint32_t position = 0;
  uint32_t total = 0;
};
void SetSpaceNodeSource(FileControlBlock* fcb, SpaceNodeSource* source);

// (member, total, position) in key order.
void BuildSpaceKeyBytes(uint32_t member, uint32_t total, uint32_t position, uint8_t* key);
struct SpaceKey {
  uint32_t member = 0;
  uint32_t total = 0;
  uint32_t position = 0;
};
SpaceKey DecodeSpaceKey(const uint8_t* key);

// Adds a key: 0; 2 when it is there already; kErrFileDamaged for a tree
// that cannot be real; I/O and extension codes.
int SpaceIndexAdd(FileControlBlock* fcb, const uint8_t* key);
// Removes a key: 0; 4 when it is not there; other codes as above.
int SpaceIndexRemove(FileControlBlock* fcb, const uint8_t* key);
// The first key >= target (strictly greater with `greater`): 1 found (out
// filled), 0 none, or -code.
int SpaceIndexFind(FileControlBlock* fcb, const uint8_t* target, bool greater, uint8_t* out);

// Visits every key in order; stops early when visit returns false. Returns
// the number of keys visited, or -code (a chain that runs longer than the
// file could hold is kErrFileDamaged).
using SpaceKeyVisitor = bool (*)(void* context, const SpaceKey& key);
int32_t SpaceIndexWalk(FileControlBlock* fcb, SpaceKeyVisitor visit, void* context);

}  // namespace isam
