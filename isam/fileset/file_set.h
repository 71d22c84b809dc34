// File sets: one data file with its indexes, described by an IfilBlock with
// an array of IndexDefinitions, each with its KeySegments. Creating a set
// creates every file and stores the packed definition inside the data file
// ("EN!DEF" kind 0); opening checks that the index files still match the
// definition; both fill the ISAM tables the record layer reads.
//
// Opening a set from its data file alone and storing a definition in an
// existing file: file_set_stored.h; renaming a set: file_set_rename.h.
//
// Key numbers: the data file gets N, its indexes N + 1, N + 2, ... in
// definition order; an index without a file name is one more member of the
// index file before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "isam/index/key_segment.h"

namespace isam {

struct IndexDefinition {
  int16_t key_length = 0;     // segment lengths, + 4 when duplicates are allowed
  int16_t key_type = 0;       // compression bits 0x04, 0x08
  int16_t duplicates = 0;     // 1: duplicates allowed
  int16_t null_rule = 0;      // 1: no key when every byte is the null byte
  int16_t null_byte = 0;
  int16_t segment_count = 0;  // at most 12
  const KeySegment* segments = nullptr;
  const char* name = nullptr;          // optional index name
  const char* file_name = nullptr;     // null: one more member of the previous index file
  const uint16_t* collation = nullptr; // optional 256-entry alternate collating table
  const uint8_t* pad_byte = nullptr;   // optional pad byte (default blank)
};

struct IfilBlock {
  const char* name = nullptr;    // file name without extension
  int16_t data_file = -1;        // number wanted (-1: the first free run)
  int16_t record_length = 0;     // fixed part of a variable-length record
  int16_t data_extension = 0;
  int16_t data_mode = 0;         // 0x200: names carry no extension; 0x04 set on a read-only open
  int16_t index_count = 0;       // at most 32
  int16_t index_extension = 0;
  int16_t index_mode = 0;
  const IndexDefinition* indexes = nullptr;
  const char* text1 = nullptr;   // kept with the data file's ISAM entry
  const char* text2 = nullptr;
  int16_t assigned = -1;         // the data file number while the set is open
};

constexpr int kMaxFileSetIndexes = 32;

// Creates the files of the set (left open): the ISAM error, 0 on success
// with block->assigned set. Errors: 107 more than 32 indexes, 109 more
// than 12 segments, 115 segment lengths that do not add up to the key
// length, 46 the numbers are taken, 195 / 181 copying a text or name
// failed, file create codes. On failure every file made so far is deleted
// and assigned stays -1.
int CreateFileSetFromIfil(IfilBlock* block);

// Opens the files of an existing set: 107, 124 an index file has another
// member count than the definition, 608 an index's key length or
// duplicate flag differs from the definition, 46, file open codes; 690 (or
// an I/O code) when the set's last writer died and the mend it needs meets
// damage (the set keeps its mark for a rebuild). On failure everything
// opened is closed again (a superfile host opened for the set's members
// too) and assigned stays -1.
int OpenFileSetFromIfil(IfilBlock* block);

// Closes the data file and every index file of the set: 0 or the first
// close error; assigned becomes -1. 26 when the set is not open.
int CloseFileSet(IfilBlock* block);

// The same by the data file's number, for a set opened without a block of
// the caller's (OpenFileSetByDefinition): the index files are those its
// ISAM row lists. 26 when the number is not open.
int CloseFileSetByNumber(int data_file);

// The packed definition that create stores (and the stored one of an open
// data file).
std::vector<uint8_t> PackIfil(const IfilBlock& block);
int GetStoredIfilBytes(int data_file, std::vector<uint8_t>* out);

// A definition read back from a data file, owning everything its block
// points at. Its pointers go into its own vectors: fill it in place and do
// not copy it.
struct StoredFileSet {
  IfilBlock block;
  std::vector<IndexDefinition> indexes;
  std::vector<std::vector<KeySegment>> segments;
  std::vector<std::string> texts;  // name, text1, text2, index names and file names
  std::vector<std::vector<uint16_t>> collations;
  std::vector<uint8_t> pads;
  std::string data_extension, index_extension;
};

// Rebuilds a block from its packed bytes: 0, or 198 for an incomplete or
// inconsistent block (more than 32 indexes or 12 segments included). The
// data file number and the assigned number are -1.
int UnpackIfil(const std::vector<uint8_t>& packed, StoredFileSet* out);

// The file names of a set: data (which 0) or index (1), with the default
// extensions ".dat" / ".idx" unless mode 0x200 or a blank extension. A
// name of 256 bytes or more gives an empty name.
void BuildFileSetNames(const IfilBlock& block, int which, char* out, int size);
// The same into a 256-byte out, with the extension that was added (empty
// when none: mode 0x200, a blank extension, an index's own file name) in
// extension (8 bytes) when it is not null.
void BuildFileSetNames(const IfilBlock& block, char* out, int which, char* extension);

// The folder part of a path: everything up to and including its last '/',
// '\\' or drive ':' (empty for a bare name).
std::string DirectoryOfPath(const char* path);

}  // namespace isam
