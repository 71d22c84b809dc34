// Dumping the keys of one index (or index member) into a plain OS file:
// every key in key order, each followed by its record position, for tools
// that sort, compare or rebuild outside the engine.
#pragma once

#include <cstdint>

namespace isam {

constexpr uint16_t kFnDumpIndexKeys = 17047;

// The argument block of function 17047. Both names are terminated texts
// (CopyBoundedString fills them); key_count is set by the call.
struct IndexKeyDumpBlock {
  char index_name[256] = {};   // the index file, or "host!member" of a superfile index
  char output_name[256] = {};  // the OS file to create; it must not exist
  int32_t key_count = 0;       // out: the keys written (0 on an error)
};

// Opens block->index_name read-only (mode 0x1008) at a free file number (a
// member name opens its host first, at a free pair, unless the host is open
// already), and writes every key of index member `member` (0 the index
// itself, 1.. its additional members) to a new OS file block->output_name:
// per key its key bytes (without the 4-byte position suffix of an index
// with duplicates) and then its record position, 4 bytes little-endian,
// one key after the other, nothing else. Every file it opened is closed
// again. Returns the number of keys written, 0 on an error with eng_err:
// 116 no block or no names; the open's code (12, 43, ... as OpenFileEntry,
// 46 no free file numbers); 48 the file is no index; 23 no such member
// (outside 0..members, or reserved but never added); 19 the output exists,
// 17 it cannot be created otherwise, 37 a write to it failed (a partly
// written output is deleted again); the walk's code (kErrFileDamaged for a
// walk that runs longer than the file could hold).
int32_t DumpIndexKeys(int member, IndexKeyDumpBlock* block);

// Installs DumpIndexKeys as function 17047 (call.file = member, call.block
// = the IndexKeyDumpBlock). Called by InstallFileLayer.
void InstallIndexKeyDumpFunction();

}  // namespace isam
