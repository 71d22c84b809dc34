#include "isam/index/file_close.h"

#include <cstring>
#include <ctime>

#include "isam/index/file_control_block.h"
#include "isam/index/file_header.h"
#include "isam/index/file_state_hooks.h"
#include "isam/index/member_files.h"
#include "isam/index/node_cache.h"
#include "isam/index/writer_mark.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/maint_hooks.h"

namespace isam {
namespace {

int WriteBackHeader(FileControlBlock* f) {
  if (f->header.open_mode & kModeReadOnly) return 0;
  // The key count and root of a shared file are other openers' too: take
  // them fresh under the lock, keep only what this close changes.
  const uint8_t rebuild = f->header.rebuild_status;
  while (f->header_lock_depth > 0) UnlockFileHeader(f);
  if (int rc = LockFileHeader(f)) return rc;
  if (rebuild != kRebuildRunning && !f->writer_marked && f->disk_header_known) {
    // An opener that wrote nothing and holds no header change leaves every
    // byte as it was: a visit that only read must not look like a change
    // (to backups, to copies compared by content, to the user).
    FileHeader now = f->header;
    now.rebuild_status = rebuild;
    now.open_mode = f->disk_header.open_mode;
    uint8_t mine[kFileHeaderSize], stored[kFileHeaderSize];
    EncodeFileHeader(now, mine);
    EncodeFileHeader(f->disk_header, stored);
    if (std::memcmp(mine, stored, kFileHeaderSize) == 0) {
      UnlockFileHeader(f);
      return 0;
    }
  }
  if (rebuild == kRebuildRunning) {
    f->header.close_time = static_cast<uint32_t>(std::time(nullptr));
    f->header.rebuild_status = kRebuildClean;
  } else {
    f->header.rebuild_status = rebuild;
  }
  // A writer's updates reach the disk before the header that says it closed
  // cleanly: after a power cut the mark must still be there for any update
  // the cut took.
  if (f->writer_marked) {
    if (int rc = OsFlushFile(&f->os)) {
      UnlockFileHeader(f);
      return rc;
    }
  }
  UnmarkWriterForClose(f);
  const int rc = WriteFileHeader(f);
  UnlockFileHeader(f);
  return rc;
}

void Forget(FileControlBlock* f) {
  delete[] f->collation;
  const int16_t number = f->number;
  *f = FileControlBlock{};
  f->number = number;
  f->os.owner = f;
}

}  // namespace

int CloseFileEntry(int number) {
  EngineInstance* inst = CurrentInstance();
  FileControlBlock* fcb = CheckFileNumber(number);
  if (fcb == nullptr) return inst != nullptr ? inst->eng_err : 26;
  if (fcb->header.member_number != 0 || fcb->host != fcb) return SetEngineError(23);
  if (fcb->header.file_class == kClassSuperHost) CurrentMemberHooks().close_host_members(fcb);
  int first = 0;
  if (fcb->os.virtually_closed) {
    if (int rc = OsEnsureOpen(&fcb->os)) first = rc;
  }
  for (FileControlBlock* f = fcb; f != nullptr; f = f->next_member) {
    ReleaseFileNodes(f->number, false);
    if (first == 0) {
      if (int rc = WriteBackHeader(f)) first = rc;
    }
    while (f->header_lock_depth > 0) UnlockFileHeader(f);
  }
  // The record locks go with the OS file; what this instance noted of them
  // must not outlive it, or a file opened later at this number would
  // inherit them. Saved positions of a data file go with it too.
  if (fcb->header.file_type != kFileTypeIndex) {
    CurrentFileStateHooks().forget_file_locks(number);
    const int16_t eng_err = inst->eng_err, isam_error = inst->isam_error, isam_file = inst->isam_error_file;
    CurrentFileStateHooks().free_saved_positions(number);
    inst->eng_err = eng_err;
    inst->isam_error = isam_error;
    inst->isam_error_file = isam_file;
  }
  if (fcb->cond_index != nullptr) CurrentMaintHooks().cond_free(fcb->cond_index);
  if (fcb->own_condition != nullptr) CurrentMaintHooks().tree_free(fcb->own_condition);
  fcb->cond_index = nullptr;
  fcb->own_condition = nullptr;
  OsCloseFile(&fcb->os);
  --inst->files_open;
  const int members = fcb->header.file_type == kFileTypeIndex ? fcb->header.member_count : 0;
  for (int m = 1; m <= members && number + m < inst->files_allocated; ++m) {
    FileControlBlock* mb = inst->files[number + m];
    if (mb != nullptr && (mb->state == kStateOpen || mb->state == kStateReservedMember) && mb->host == fcb) Forget(mb);
    else if (mb != nullptr && mb->state == kStateReservedMember) Forget(mb);
  }
  Forget(fcb);
  return SetEngineError(first);
}

void CloseAllFiles() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return;
  for (int pass = 0; pass < 2; ++pass) {
    for (int n = 0; n < inst->files_allocated; ++n) {
      FileControlBlock* f = inst->files[n];
      if (f == nullptr || f->state == kStateFree || f->state == kStateReservedMember) continue;
      if (f->header.member_number != 0 || f->host != f) continue;
      const bool host = f->header.file_class == kClassSuperHost;
      if ((pass == 0) == host) continue;
      CloseFileEntry(n);
    }
  }
}

}  // namespace isam
