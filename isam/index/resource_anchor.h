// The resource anchor: the first resource of a file, a record of type 0,
// number 0 and an empty name that starts the file's circular chain of
// resources (resource_chain.h adds, updates, deletes and finds the rest).
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

constexpr uint16_t kResourceMark = 0xFEFE;
constexpr uint32_t kResourceHeaderSize = 22;
constexpr uint32_t kAnchorDataSize = 9;  // u32 type, u32 number, empty name

// Writes the anchor at the end of the file and records its position in the
// header: 0, 400 when the file already has one, 402 when it is open shared,
// or the code of the failed extension or write.
int WriteFirstResource(FileControlBlock* fcb);

// The same without the shared check, for a file being created (no other
// opener can hold it yet).
int WriteResourceAnchor(FileControlBlock* fcb);

// Bytes a resource of `data_length` bytes takes in this file: whole records
// in a fixed-length data file, whole nodes in an index file, the exact
// stretch in a variable-length file.
uint32_t ResourceStretchSize(const FileControlBlock* fcb, uint32_t data_length);

}  // namespace isam
