// The entry points the engine's maintenance utilities (rebuild, compaction,
// added indexes, batch retrieval) call into the record and file-set layers.
// Each is a thin name over the layer's own call, so the utilities depend on
// these names only.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;
struct IfilBlock;
struct StoredFileSet;

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

// Positioned I/O and the OS size of an engine file by its control block
// (a member reaches its host's OS file): FilePositionedIo of
// os_file_layer.h on the file that holds the bytes (0 read, 1 write; 0 or
// the I/O code, the bytes moved in *count) and GetOsFileSize of it.
int FilePositionedIo(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, int32_t length,
                     int32_t* count);
uint32_t GetOsFileSize(FileControlBlock* fcb);

// Stores the 256-entry alternate collating table of index (or index member)
// `key` in its index file ("EN!DEF" of the index, kind = member number, 512
// bytes little-endian) and makes it the open member's table, so keys built
// from now on use it. `creating`: the index was made in this very call (a
// shared mode is then no refusal). 0, 48 not an index, 33 no table, 603 no
// memory, the definition-resource codes (62 a shared index otherwise).
int PutIndexTable(int key, const uint16_t* table, bool creating = false);

// Recomputes an open index's (or member's) key layout from its header's key
// length, key type and duplicates flag: entry size, key bytes and leaf
// limit of its node size, and the control block's node layout (the header
// is not written: the caller writes it when it keeps the change). 0, or 48
// not an index, 45 a key length the nodes cannot hold, 52 key type bits
// 0x1 / 0x2, 20 fewer than three entries per node.
int InitIndexControl(FileControlBlock* index);

// Frees the ISAM tables of the calling thread's instance (every data file's
// key list, current and saved record, every index's current key), as the
// engine stop does; a later file-set create or open makes new ones. `count`
// is the file count the tables were made for and is not needed to free
// them. 0, or 129 when the thread has no instance.
int FreeIsamTables(int count);

// The stored definition of an open data file: returns the size of the
// packed definition (what the unpacked copy needs), and when buffer_size is
// at least that and out is given, unpacks it into out (data file number
// and assigned number -1). Minus the code on failure: 408 / 438 no stored
// definition, 198 a damaged one, resource codes.
int32_t GetStoredIfil(int data_file, int32_t buffer_size, StoredFileSet* out);

}  // namespace isam
