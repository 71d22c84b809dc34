#include "isam/index/member_files.h"

#include <cstring>

#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

char Separator() {
  EngineInstance* inst = CurrentInstance();
  return inst != nullptr && inst->member_separator ? inst->member_separator : '!';
}

int NoMemberCreate(FileControlBlock*, const char*, uint16_t) { return SetEngineError(kEngNotInThisBuild); }
int NoHostDirectory(int, uint16_t) { return SetEngineError(kEngNotInThisBuild); }
int NoMemberOpen(FileControlBlock*, uint16_t*) { return SetEngineError(kEngNotInThisBuild); }
int NoDirectoryOpen(int) { return SetEngineError(kEngNotInThisBuild); }
void NoMembersToClose(FileControlBlock*) {}
uint32_t NoMemberSpace(FileControlBlock*, uint32_t) {
  SetEngineError(kEngNotInThisBuild);
  return 0;
}

MemberHooks g_hooks = {NoMemberCreate, NoHostDirectory, NoMemberOpen, NoDirectoryOpen, NoMembersToClose,
                       NoMemberSpace};

}  // namespace

bool IsMemberName(const char* name) { return name != nullptr && std::strchr(name, Separator()) != nullptr; }

FileControlBlock* SuperfileHostOf(const FileControlBlock* fcb) {
  const FileControlBlock* holder = HolderOf(const_cast<FileControlBlock*>(fcb));
  if (holder->os.host == nullptr) return nullptr;
  return holder->os.host->owner;
}

bool InSuperfile(const FileControlBlock* fcb) { return SuperfileHostOf(fcb) != nullptr; }

void CoverMemberWithHost(FileControlBlock* fcb) {
  const FileControlBlock* host = SuperfileHostOf(fcb);
  if (host == nullptr || host == fcb) return;
  FileHeader& h = fcb->header;
  if (h.logical_end < host->header.logical_end) h.logical_end = host->header.logical_end;
  if (h.physical_end < h.logical_end) h.physical_end = h.logical_end;
}

bool SuperfileHeaderLockUnit(const FileControlBlock* fcb, uint32_t* unit) {
  if (!InSuperfile(fcb)) return false;
  *unit = (fcb->header_position + 12) / 10;
  return true;
}

bool SuperfileNodeLockUnit(const FileControlBlock* holder, uint32_t position, uint32_t* unit) {
  if (holder->os.host == nullptr) return false;
  *unit = position / 10;
  return true;
}

uint32_t SuperfileFirstPosition(const FileControlBlock* fcb) {
  const FileControlBlock* host = SuperfileHostOf(fcb);
  return host != nullptr ? host->header.node_size : 0;
}

void SetMemberHooks(const MemberHooks& hooks) {
  if (hooks.create_member) g_hooks.create_member = hooks.create_member;
  if (hooks.create_host_directory) g_hooks.create_host_directory = hooks.create_host_directory;
  if (hooks.open_member) g_hooks.open_member = hooks.open_member;
  if (hooks.open_host_directory) g_hooks.open_host_directory = hooks.open_host_directory;
  if (hooks.close_host_members) g_hooks.close_host_members = hooks.close_host_members;
  if (hooks.extend_member_space) g_hooks.extend_member_space = hooks.extend_member_space;
}

const MemberHooks& CurrentMemberHooks() { return g_hooks; }

}  // namespace isam
