#include "isam/index/file_open.h"

#include <cstring>
#include <new>
#include <vector>

#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_state_hooks.h"
#include "isam/index/member_files.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/maint_hooks.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/runtime/status_log.h"
#include "isam/runtime/thread_layer.h"

namespace isam {
namespace {

bool BlankHeader(const uint8_t* raw) {
  bool zeros = true, ones = true;
  for (std::size_t i = 0; i < kFileHeaderSize; ++i) {
    zeros = zeros && raw[i] == 0x00;
    ones = ones && raw[i] == 0xFF;
  }
  return zeros || ones;
}

constexpr int kSharedHeaderRetries = 20;
constexpr uint32_t kSharedHeaderRetryPauseMs = 10;

// Reads and checks the file's own header: 0 or the open's code.
// The size is taken after the header: a file only grows, and a growing
// process writes its new end into the header after the new space, so the
// size read second covers every end the header can name.
int ReadAndCheckHeader(FileControlBlock* fcb, uint16_t mode, bool* blank) {
  EngineInstance* inst = CurrentInstance();
  uint8_t raw[kFileHeaderSize];
  int32_t count = 0;
  if (int rc = FilePositionedIo(0, &fcb->os, fcb->header_position, raw, static_cast<int32_t>(kFileHeaderSize), &count))
    return rc;
  uint32_t os_size = 0;
  if (int rc = OsFileSizeChecked(&fcb->os, &os_size)) return rc;
  if (count != static_cast<int32_t>(kFileHeaderSize)) {
    *blank = true;
    return kErrFileDamaged;
  }
  *blank = BlankHeader(raw);
  DecodeFileHeader(raw, &fcb->header);
  HeaderOpenLimits lim;
  lim.engine_node_size = static_cast<uint16_t>(inst->node_size);
  lim.engine_name_limit = static_cast<uint16_t>(inst->member_name_limit ? inst->member_name_limit : 255);
  lim.open_mode = mode;
  lim.maintenance_running = inst->rebuild_mode;
  if (int rc = CheckHeaderForOpen(fcb->header, lim)) return rc;
  if (GetLe32(raw + 116) != 0) return 606;
  const FileHeader& h = fcb->header;
  // The ends must lie inside the file: every later walk is bounded by them.
  if (h.logical_end < kFileHeaderSize - 1 || h.logical_end >= os_size || h.physical_end < h.logical_end)
    return kErrFileDamaged;
  if (h.file_type == kFileTypeIndex && CheckIndexGeometry(h) != 0) return kErrFileDamaged;
  if (h.file_type == kFileTypeIndex &&
      static_cast<uint32_t>(h.member_count + 1) * kFileHeaderSize > static_cast<uint32_t>(h.logical_end) + 1)
    return kErrFileDamaged;
  if (h.file_type == kFileTypeFixed && h.record_length < 5) return kErrFileDamaged;
  return 0;
}

// Reads member m's header into its block (reserved numbers were checked).
int OpenMember(FileControlBlock* index, FileControlBlock* m, int member) {
  m->header = FileHeader{};
  m->header_position = index->header_position + 128u * static_cast<uint32_t>(member);
  m->os = EngineOsFile{};
  m->os.owner = m;
  m->host = index;
  m->next_member = nullptr;
  m->current_node = 0;
  m->header_lock_depth = 0;
  CopyBoundedString(m->name, index->name, sizeof m->name);
  if (int rc = ReadFileHeader(m)) return rc;
  if (int rc = CheckMemberHeader(m->header)) return rc;
  FileHeader& h = m->header;
  if (h.format_id == 0 && h.key_length == 0) return -1;  // reserved but never added
  if (h.file_type != kFileTypeIndex || h.member_number != member || h.node_size != index->header.node_size ||
      CheckIndexGeometry(h) != 0)
    return kErrFileDamaged;
  h.open_mode = index->header.open_mode;
  m->layout = LayoutOfIndex(h);
  return 0;
}

}  // namespace

int OpenFileEntry(int number, const char* name, uint16_t mode) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return SetEngineError(47);
  if (number < 0 || number >= inst->file_count) return SetEngineError(22);
  FileControlBlock* fcb = GetFileControlBlock(number);
  if (fcb == nullptr) return inst->eng_err;
  if (fcb->state != kStateFree) return SetEngineError(46);
  if ((mode & kModeShared) && (mode & kModeReadOnly)) mode = static_cast<uint16_t>(mode & ~kModeShared);
  if (mode & kModeKeepAlias) mode = static_cast<uint16_t>(mode | kModeKeptOpen);
  if (name == nullptr || name[0] == '\0' || std::strlen(name) > 255) return SetEngineError(12);

  *fcb = FileControlBlock{};
  fcb->number = static_cast<int16_t>(number);
  fcb->os.owner = fcb;
  fcb->host = fcb;
  CopyBoundedString(fcb->name, name, sizeof fcb->name);
  const int os_rc = IsMemberName(fcb->name) ? CurrentMemberHooks().open_member(fcb, &mode)
                                             : (OsOpenFile(&fcb->os, fcb->name, mode) != 0 ? 12 : 0);
  if (os_rc != 0) {
    *fcb = FileControlBlock{};
    fcb->number = static_cast<int16_t>(number);
    fcb->os.owner = fcb;
    return SetEngineError(os_rc);
  }
  // A shared file may be changing under another process while we look: its
  // header can be read half-written. Only a header that stays implausible
  // is damage.
  bool blank = false;
  int rc = 0;
  for (int attempt = 0;; ++attempt) {
    rc = ReadAndCheckHeader(fcb, mode, &blank);
    if (rc != kErrFileDamaged || !(mode & kModeShared) || attempt >= kSharedHeaderRetries) break;
    EngineSleep(kSharedHeaderRetryPauseMs);
  }
  FileHeader& h = fcb->header;
  if (rc == 0) {
    fcb->disk_header = h;
    fcb->disk_header_known = true;
    if (InSuperfile(fcb)) {
      // The host may have grown since this member's header was written.
      FileControlBlock* host = SuperfileHostOf(fcb);
      if (IsShared(host)) ReadFileHeader(host);
      CoverMemberWithHost(fcb);
    }
  }
  const int members = rc == 0 && h.file_type == kFileTypeIndex ? h.member_count : 0;
  if (rc == 0 && number + members >= inst->file_count) rc = 22;
  for (int m = 1; rc == 0 && m <= members; ++m) {
    const int state = FileNumberState(number + m);
    const FileControlBlock* f = state == 0 || number + m >= inst->files_allocated ? nullptr : inst->files[number + m];
    if (state != 0 && !(f != nullptr && f->state == kStateReservedMember)) rc = 46;
  }
  // A rebuild opens the files it flagged itself.
  const bool rebuilding = inst->rebuild_mode && h.rebuild_status == kRebuildRunning;
  if (rc == 0 && h.rebuild_status != kRebuildClean && !rebuilding) {
    if (!(mode & kModeIgnoreRebuild)) rc = 14;
    else h.rebuild_status = kRebuildOpenedAnyway;
  }
  if (rc != 0) {
    OsCloseFile(&fcb->os);
    *fcb = FileControlBlock{};
    fcb->number = static_cast<int16_t>(number);
    fcb->os.owner = fcb;
    if (blank) inst->os_error = -539;
    return SetEngineError(rc);
  }
  bool write_back = false;
  const uint16_t status = h.status_word == 0xFFFF ? 0 : h.status_word;
  if ((status & 0x1) && !(mode & kModeReadOnly)) {
    WriteStatusLog("Following file is opened without mirror ...", 0);
    WriteStatusLog(fcb->name, 0);
    h.status_word = static_cast<uint16_t>(status & ~0x1);
    write_back = true;
  }
  uint16_t effective = static_cast<uint16_t>((mode & 0x7FCF) | h.kept_mode);
  if (effective & kModeTransaction) effective = static_cast<uint16_t>(effective & ~0x40);
  if (h.file_class == kClassSuperHost) effective = static_cast<uint16_t>(effective | kModeKeptOpen);
  if (effective != h.open_mode) write_back = true;
  h.open_mode = effective;
  if (h.file_type == kFileTypeIndex) fcb->layout = LayoutOfIndex(h);
  fcb->state = kStateOpen;
  ++inst->files_open;

  // Index members: each reserved number takes its member's header.
  FileControlBlock** link = &fcb->next_member;
  for (int m = 1; m <= members; ++m) {
    FileControlBlock* mb = GetFileControlBlock(number + m);
    if (mb == nullptr) {
      rc = inst->eng_err;
      break;
    }
    const int mrc = OpenMember(fcb, mb, m);
    if (mrc == -1) {
      mb->state = kStateReservedMember;
      continue;
    }
    if (mrc != 0) {
      rc = mrc;
      break;
    }
    mb->number = static_cast<int16_t>(number + m);
    mb->state = kStateOpen;
    *link = mb;
    link = &mb->next_member;
  }
  // Each index's alternate collating table, when one is stored; a file
  // without resources or without the table has none.
  for (FileControlBlock* f = h.file_type == kFileTypeIndex && h.first_resource != 0 ? fcb : nullptr;
       rc == 0 && f != nullptr; f = f->next_member) {
    std::vector<uint8_t> table;
    const int trc = CurrentFileStateHooks().definition_resource(number, f->header.member_number, &table);
    if (trc == 0 && table.size() >= 512) {
      f->collation = new (std::nothrow) uint16_t[256];
      if (f->collation == nullptr) {
        rc = 603;
        break;
      }
      for (int c = 0; c < 256; ++c) f->collation[c] = GetLe16(table.data() + 2 * c);
    } else if (trc != 0 && trc != 401 && trc != 408 && trc != 438) {
      rc = trc;
    }
  }
  if (rc != 0) {
    for (FileControlBlock* f = fcb; f != nullptr; f = f->next_member) {
      delete[] f->collation;
      f->collation = nullptr;
    }
    for (int m = 1; m <= members; ++m) {
      FileControlBlock* mb = number + m < inst->files_allocated ? inst->files[number + m] : nullptr;
      if (mb != nullptr) mb->state = kStateFree;
    }
    OsCloseFile(&fcb->os);
    --inst->files_open;
    *fcb = FileControlBlock{};
    fcb->number = static_cast<int16_t>(number);
    fcb->os.owner = fcb;
    return SetEngineError(rc);
  }
  if (h.file_type != kFileTypeIndex) {
    // Conditions that cannot be loaded fail the open (a file without any
    // is no failure); a rebuild opens without them so they can be replaced.
    SetEngineError(0);
    fcb->cond_index = CurrentMaintHooks().cond_load(static_cast<int16_t>(number));
    const int crc = inst->eng_err;
    if (fcb->cond_index == nullptr && crc != 0 && crc != 401 && crc != 408 && crc != 438 && !inst->rebuild_mode) {
      CloseFileEntry(number);
      return SetEngineError(crc);
    }
    SetEngineError(0);
  }
  if (write_back && !(effective & kModeReadOnly)) {
    // A shared file's header is read again under the lock: apply our
    // changes to that fresh image.
    const uint8_t rebuild = h.rebuild_status;
    if (LockFileHeader(fcb) == 0) {
      h.open_mode = effective;
      h.rebuild_status = rebuild;
      if (h.status_word != 0xFFFF) h.status_word = static_cast<uint16_t>(h.status_word & ~0x1);
      const int wrc = WriteFileHeader(fcb);
      UnlockFileHeader(fcb);
      // A file that takes no write is no file to update: the open fails.
      if (wrc != 0) {
        CloseFileEntry(number);
        return SetEngineError(wrc);
      }
    }
  }
  if (h.file_class == kClassSuperHost) {
    if (int drc = CurrentMemberHooks().open_host_directory(number)) {
      CloseFileEntry(number);
      return SetEngineError(drc);
    }
  }
  return SetEngineError(0);
}

}  // namespace isam
