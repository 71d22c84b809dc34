// The engine's own definitions kept as the resource "EN!DEF" of a file
// (type 0; number 1 in a data file, 3 in an index file): a 280-byte
// directory of 32 kinds, then each kind's definition in its reserved area.
// Kind 0 is the file-set definition, 1 the record schema, 2 the field names;
// in an index file kind n is member n's collating table.
#pragma once

#include <cstdint>
#include <vector>

namespace isam {

constexpr uint32_t kDefinitionNumberData = 1;
constexpr uint32_t kDefinitionNumberIndex = 3;
constexpr uint32_t kDefinitionDirectorySize = 280;
constexpr uint32_t kDefinitionMinimumSize = 2026;

// Definition kinds of a data file.
constexpr int kDefinitionKindFileSet = 0;
constexpr int kDefinitionKindSchema = 1;
constexpr int kDefinitionKindFieldNames = 2;

// Stores one definition. Errors: 48 the number does not fit the file type,
// 62 the file is open shared (unless `creating`: the caller made the file
// in this very call, so no other opener can hold it), 436 kind above 31,
// 434 a reserve above 0xFFFF, 435 no memory, resource codes. A schema
// (kind 1 of a data file) also becomes the control block's copy
// (record_schema_store.h).
int PutDefinitionResource(int file, const void* data, uint32_t length, uint32_t reserve, int kind,
                          uint32_t number, bool creating = false);

// Reads one definition: 0, 438 the kind was never stored, 408 no "EN!DEF",
// resource codes.
int GetDefinitionResource(int file, int kind, std::vector<uint8_t>* out);

}  // namespace isam
