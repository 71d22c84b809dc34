// Deleting and renaming superfile members, and the host checks of a rename.
// DeleteEngineFile and RenameEngineFile (superfile_delete_rename.h) hand
// members over to these after their common checks (open exclusive, not the
// directory).
#pragma once

namespace isam {

struct FileControlBlock;

// Closes member `number` and removes it from its host: its directory key
// goes, every stretch of the host that names the member (records, nodes,
// resources, free space) and the member's entry are marked 0xFDFD in place
// (member numbers are never given again, so nothing can name them). The
// host file keeps its size. 26 / 22 not open, 48 not a member, the close's, key delete's (4:
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

// True when a member other than the directory is open on host.
bool HostHasOpenMembers(const FileControlBlock* host);

}  // namespace isam
