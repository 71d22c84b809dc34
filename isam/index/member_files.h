// What the file layer knows of superfile members without the superfile
// layer: a member's bytes live in an open host (its EngineOsFile points at
// the host's), so its ends follow the host's and its locks go by byte
// position. Creating, opening, closing and growing members is the superfile
// layer's work; the file layer reaches it through MemberHooks, which
// InstallSuperfileLayer fills.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// True for a name that holds the member separator.
bool IsMemberName(const char* name);

// The open superfile host a member's bytes live in, or null for a plain
// file (also for the directory's own host, which is plain itself).
FileControlBlock* SuperfileHostOf(const FileControlBlock* fcb);
// True for a member (or the member directory) or an index member of one.
bool InSuperfile(const FileControlBlock* fcb);

// A member's ends follow its host's: raised to the host's logical end (its
// image in memory), so a member header that missed the last growth of the
// host (a lost write, a crash between the two header writes) never hides
// the member's stretches behind its own end. Nothing for other files.
void CoverMemberWithHost(FileControlBlock* fcb);

// Lock units inside a host: every lock a member takes is placed by byte
// position (position / 10), so node, record and header locks of all members
// and the host's own header (unit 0) never share a lock byte. A member's
// header lock sits at its header body (header position + 12). Return false
// (unit untouched) for a file outside any superfile.
bool SuperfileHeaderLockUnit(const FileControlBlock* fcb, uint32_t* unit);
bool SuperfileNodeLockUnit(const FileControlBlock* holder, uint32_t position, uint32_t* unit);

// The first stretch of a member's physical walk (the host's first), or 0
// for a plain file.
uint32_t SuperfileFirstPosition(const FileControlBlock* fcb);

// The superfile layer's part in create, open, close and ExtendFile (see
// superfile/superfile_member.h for each call's contract). Until it is
// installed, a member name or a host cannot be created or opened (6), a
// host closes without members and a member cannot grow (0, eng_err 6).
struct MemberHooks {
  int (*create_member)(FileControlBlock* fcb, const char* name, uint16_t mode);
  int (*create_host_directory)(int host_number, uint16_t mode);
  int (*open_member)(FileControlBlock* fcb, uint16_t* mode);
  int (*open_host_directory)(int host_number);
  void (*close_host_members)(FileControlBlock* host);
  uint32_t (*extend_member_space)(FileControlBlock* holder, uint32_t bytes);
};

// Installs the hooks (a copy is kept); null members keep their fallback.
void SetMemberHooks(const MemberHooks& hooks);
const MemberHooks& CurrentMemberHooks();

}  // namespace isam
