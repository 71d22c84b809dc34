// The entry points the engine's maintenance utilities (rebuild, compaction,
// added indexes, batch retrieval) call into the record and file-set layers.
// Each is a thin name over the layer's own call, so the utilities depend on
// these names only.
#pragma once

#include <cstdint>

namespace isam {

struct IfilBlock;

// Non-zero when the record has a key in that index (conditions applied);
// the stored key (duplicate suffix = position) goes to key_out.
int BuildStoredKey(int key, const void* record, uint8_t* key_out, uint32_t position, int32_t length);

// Stores the packed definition of block in its open data file ("EN!DEF"
// kind 0): 0 or the resource code.
int WriteIfilResource(const IfilBlock& block, int data_file);

// Closes the set's files (as CloseFileSet).
int CloseFileSetEntry(IfilBlock* block);

// Starts the ISAM level on the calling thread: the engine start with these
// limits (104 / 182 above 110 / 107 files, 125 already started).
int IsamInit(int16_t index_buffers, int16_t files, int16_t sectors, int16_t data_buffers, int16_t mode);

// The field-name definition of a data file (mode 0x102; the low byte is a
// GetRecordDefinition mode): its length, 0 when there is none; copied into
// buffer when it is large enough. Minus the code on failure (116 another
// mode, 48 an index file, read codes).
int32_t GetIfilDefinition(int data_file, int32_t buffer_length, void* buffer, int mode);

// A field's offset in the record by the stored schema, each field taking
// its schema size and alignment; *length (when not null) gets its size.
// Minus the code on failure: 199 the file has no schema, 433 no such field,
// 48 an index file, 26 / 22 not open.
int32_t RecordFieldOffset(int data_file, int field, int32_t* length);

// Turns a stored key of key number `key` back into its value form in place
// (schema segments through the data file's schema): 0, 80 not an ISAM
// index, 446, 199, 433.
int KeyToValueForm(int key, uint8_t* stored);

}  // namespace isam
