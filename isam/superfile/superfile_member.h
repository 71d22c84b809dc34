// Superfile hosts and their members. A host is a variable-length data file
// (class 1) whose records are its members' entries: the blank-padded member
// name followed by the member's 128-byte header(s). Its member directory is
// an index kept as member 1, open at host number + 1 while the host is open
// (class 6), keyed on the member part of the name only ("events.dat", never
// the host's path), so a host that was moved or restored still opens.
//
// Members have no OS file: their EngineOsFile points at the host's, so
// every read, write and lock goes to the host's handle. Every byte a member
// owns is a stretch of the host with the long (18-byte) header that names
// the member: data records, free space (0xFCFC) and free-space nodes of a
// data member are written by the member's own code at host stretches this
// file hands out; index nodes and index resources of an index member get a
// 0xFAFA stretch of their own with the node on the node grid behind it.
//
// The file layer calls in here through the MemberHooks that
// InstallSuperfileLayer installs (create, open, close, ExtendFile); what it
// knows of members itself (host, ends, lock units) is index/member_files.h.
// Nothing here is an API entry.
#pragma once

#include <cstdint>

#include "isam/index/member_files.h"

namespace isam {

struct FileControlBlock;

// Name of the member directory given at host creation (found by member
// number, never by this name).
constexpr char kMemberDirectoryName[] = "$directory";

// Create hook: puts the member whose header the create filled into its
// host instead of an OS file. The host must be open (it is opened once at
// the highest free pair of numbers when it is not: 413 when that fails),
// 411 a name whose host part is open but no host, 414 a host created as a
// member, 418 a member part longer than the host's name limit, 46 the name
// exists in the directory, 22 more than 1023 members. Writes the member's
// header(s) and the directory key; the block is left open. On failure the
// entry's space is given back.
int CreateMemberInHost(FileControlBlock* fcb, const char* name, uint16_t mode);

// The open host of a member name (for member file `number`, being opened
// or created): when the host part is not open it is opened once at the
// highest free pair of file numbers (the directory takes the second) with
// the caller's mode plus shared. Its file number, or -1 with eng_err 413
// (not open and could not be opened) or 411 (open, but no host).
int OpenHostForMember(int number, const char* name, uint16_t mode);

// Host create hook: creates the member directory at host number + 1. 0 or
// the create's code (the caller deletes the host again).
int CreateHostDirectory(int host_number, uint16_t mode);

// Open hook for a member name: finds the host (413 not open, 411 no host),
// the member's header position in the directory (12 absent), attaches the
// block to the host's handle and takes a member slot (12 none free). Adds
// mode 0x2 to *mode. The header itself is read by the open.
int OpenMemberInHost(FileControlBlock* fcb, uint16_t* mode);

// Host open hook: opens the member directory at host number + 1 (46 when
// that number is in use, else the open's code).
int OpenHostDirectory(int host_number);

// Host close hook: closes every open member of the host, directory last.
void CloseHostMembers(FileControlBlock* host);

// ExtendFile for a member: `bytes` at the end of the host. A data member
// gets the raw stretch (its caller writes the long header); an index member
// gets a 0xFAFA stretch naming it, with the returned position on the node
// grid (the gap in front becomes host free space). The member's ends are
// raised to cover it and its header written. 0 with eng_err on failure.
uint32_t ExtendMemberSpace(FileControlBlock* holder, uint32_t bytes);

}  // namespace isam
