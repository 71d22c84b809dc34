// Deleting and renaming superfile members, and the host checks of a rename.
// DeleteEngineFile and RenameEngineFile (superfile_delete_rename.h) hand
// members over to these after their common checks (open exclusive, not the
// directory).
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// Closes member `number` and removes it from its host: its directory key
// goes, every stretch of the host that names the member (records, nodes,
// resources, free space) and the member's entry become the host's free
// space (0xFDFD, keyed in the host's free-space index; neighbouring ones
// joined into one stretch). Member numbers are never given again, so
// nothing can name them. The host file keeps its size. 26 / 22 not open, 48 not a member, the close's, key delete's (4:
// the directory does not know it) or space release's code.
int DeleteMemberFile(int number);

// Renames open member `number` to new_name (host part, separator, new
// member part): 418 when the separator stands elsewhere, the host parts
// differ, the member part is empty or longer than the host's name limit;
// 46 the new member name exists; 67 the old name is not in the directory;
// the key or write codes (a failed write of the new name puts the old key
// back). The block's name becomes new_name.
int RenameMemberFile(int number, const char* new_name);

// The n-th member name of open host `host` in directory order (the member
// part, trailing blanks removed), at most 255 characters and size - 1
// copied: 0, 116 n <= 0 or no buffer, 411 not a superfile host, 101 fewer
// than n members, the search's code.
int MemberNameByIndex(int host, int n, char* buffer, int size);

// What CreateMember makes: a data member (record length, 0 with
// variable-length mode bit 0x4 for records of any length) or an index
// member with its key and its additional index members.
struct MemberParameters {
  bool index = false;
  int record_length = 0;
  int key_length = 0;
  int key_type = 0;
  int duplicates = 0;
  int index_members = 0;
  uint16_t extension_size = 0;
};

// Creates member `member_name` (the member part only) of open host `host`
// at file number `number`, left open: 411 when host is not an open
// superfile host, 418 a name that does not fit (empty, holding the
// separator, or a full name past 255 characters), then the codes of
// CreateDataFile / CreateIndexFile (22 number out of range, 46 in use or
// the name exists, ...).
int CreateMember(int host, int number, const char* member_name, const MemberParameters& parameters,
                 uint16_t mode);

// Renames open member `number` from member part old_member to new_member
// inside its host: 67 when old_member is not its member part, 418 a new
// part that is empty, holds the separator or makes the full name longer
// than 255 characters, then RenameMemberFile's codes.
int RenameMember(int number, const char* old_member, const char* new_member);

// True when a member other than the directory is open on host.
bool HostHasOpenMembers(const FileControlBlock* host);

}  // namespace isam
