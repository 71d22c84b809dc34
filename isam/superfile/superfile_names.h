// Names of superfile members: the host's file name, the member separator
// ('!') and the member name, with nothing between. Members live inside one
// host file (superfile_member.h); the directory knows them by the member
// part only.
#pragma once

namespace isam {

// Length of the host part of name (0 when it holds no separator). When
// member is not null it gets the member part padded with blanks to
// `member_size` - 1 characters and terminated (a 256-byte field for the
// directory key).
int SplitMemberName(const char* name, char* member = nullptr, int member_size = 256);

}  // namespace isam
