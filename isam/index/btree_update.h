// Inserting and deleting keys in a B-link tree. Keys go in with their record
// position; nodes split upward as they fill and are never merged, so an
// emptied leaf stays linked and is filled again by later inserts.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// Mode word of addkey.
constexpr int kAddSplitMask = 0x1F;    // 0 halves, 1 six sevenths left, other one seventh + 1
constexpr int kAddMemberDirectory = 0x10;
constexpr int kAddSkipUpdateCheck = 0x20;
constexpr int kAddReplacePosition = 0x40;
constexpr int kAddMustBeIndex = 0x80;
// addkey and delkey: leave the header's key count alone (the undo of a
// change whose count could not be written).
constexpr int kKeyCountKept = 0x100;

// Inserts key (key length bytes; for an index with duplicates the last four
// are replaced by the position, big-endian) with its record position.
// Errors: 28 position 0; 2 key exists (tree unchanged) unless 0x40, which
// replaces the position of the existing entry; 48 not an index with 0x80;
// 415 a member directory index without 0x10; 54 / 99 / 121 the update
// check; 50 / 653 node locks; kErrFileDamaged or 240 for a tree that
// cannot be real; the node cache's codes. A failed add leaves the key count
// unchanged, the key out of the tree (when the count cannot be written the
// key is taken out again) and releases every lock it took. A tree that already has the
// ten inner levels a descent may pass gains no new root: the new node of a
// root split stays reachable through the old root's right link.
int addkey(int file, const uint8_t* key, uint32_t position, int mode);
// addkey with 0x80 (the function-table entry).
int AddKeyEntry(int file, const uint8_t* key, uint32_t position, int mode);

// Removes key with its record position: 4 no such key (or an empty index);
// 3 the key is there with another position; 54 / 99 / 121 unless mode 0x20;
// 48 not an index with 0x80; 116 for mode 2 alone (a caller's error);
// damaged-file codes as for addkey. A failed delete leaves the key in the
// tree and the count unchanged (a key whose lower count cannot be written
// goes back in).
int delkey(int file, const uint8_t* key, uint32_t position, int mode);
int DeleteKeyEntry(int file, const uint8_t* key, uint32_t position);
// delkey with mode 0 (the update check applies).
int DeleteKey(int file, const uint8_t* key, uint32_t position);

// Entries the left node keeps when a node of n entries splits in `mode`.
int SplitKeepLeft(int n, int mode);

}  // namespace isam
