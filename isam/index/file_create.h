// Creating engine files: fixed-length and variable-length data files,
// superfile hosts, index files (with reserved numbers for their additional
// index members) and the members themselves. A created file is left open.
#pragma once

#include <cstdint>

#include "isam/index/file_header.h"

namespace isam {

// Creates a data file at `number` (function 8332). `extension_size` is
// carried as an unsigned 16-bit value (a host's 32768 included). Errors:
// 22 number out of range; 46 number in use; 53 mode 0x10; 21 fixed record
// length below 5; 20 a variable file's node too small; 19 the file exists;
// 17 another create failure; for a member name ("host!member") the codes of
// CreateMemberInHost (superfile_member.h: 413, 411, 414, 418, 46, 22); a
// host (mode 0x200) also gets its member directory at number + 1, and is
// deleted again when that fails; the code of a failed header or anchor
// write (the file is then deleted again).
int CreateDataFile(int number, const char* name, int record_length, uint16_t extension_size,
                   uint16_t mode);

// Creates an index file (function 8333) at `number`, reserving number + 1 ..
// number + members for its additional members (state 'm'). Errors as above,
// plus 45 key length 256 or more (or 0), 52 key type bits 0x1/0x2, 20 fewer
// than three entries per node (or no room for one leaf entry), 22 when the
// member numbers run past the file count, 23 members 32 or more.
int CreateIndexFile(int number, const char* name, int key_length, int key_type, int duplicates,
                    int members, uint16_t extension_size, uint16_t mode);

// The key layout of an index (or member) header: file type, key length,
// key type, duplicate flag, pad byte 32 and the node geometry for the
// header's node size. 45 key length 0 or 256 or more (or no room for the
// duplicate suffix), 52 key type bits 0x1/0x2, 20 fewer than three entries
// per node; else 0. A refused layout leaves the header as it was.
int InitIndexControl(FileHeader* header, int key_length, int key_type, int duplicates);

// Writes the headers of open index file `number` and of its open members
// as their images hold them, after InitIndexControl re-laid their keys (the
// maintenance utilities align the headers so before a rebuild). A shared
// file's header is read again under its lock and only the key layout is
// taken from the image, so other openers' counts survive. The cached nodes
// of the index are let go (they were decoded in the old layout). 0, 26 / 22
// not open, 48 not an index (or a member), 54 read-only, 20 a layout that
// does not fit the nodes, the lock's or write's code.
int PutIndexTable(int number);

// Function 142: sets up reserved member `member` of open index `number`.
// 48 not an index (or a member itself); 23 member outside 1..member count;
// 46 the member's number is not reserved; 45 / 52 / 20 as for the create;
// the header write's code.
int AddIndexMember(int number, int key_length, int key_type, int duplicates, int member);

}  // namespace isam
