// Deleting and renaming engine files by file number.
#pragma once

namespace isam {

// Function 3: closes the file and deletes it. 56 unless it is open
// exclusive (neither shared nor read-only), 56 for a member directory
// index, 55 when the OS delete fails, 26 / 22 not open. A superfile member
// is removed from its host instead (DeleteMemberFile).
int DeleteEngineFile(int number);

// Function 36: renames an open file and keeps it open under the new name.
// A name equal to the old one (as CompareFileNames sees it) does nothing.
// 62 shared or read-only, 446 a member directory index, 418 a host's new
// name with the member separator, 454 a host with an open member, 24 the
// handle could not be given back, 67 the OS rename failed (the file is
// reopened under its old name), 38 the reopen failed. A superfile member
// is renamed inside its host (RenameMemberFile, superfile_member_ops.h).
int RenameEngineFile(int number, const char* new_name);

}  // namespace isam
