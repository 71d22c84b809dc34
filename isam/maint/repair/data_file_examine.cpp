// ExamineDataFile: the header against the file set's definition, then a
// repair when the file is flagged corrupt or its header had to change.
#include "isam/index/file_control_block.h"
#include "isam/maint/repair/data_file_repair.h"
#include "isam/maint/repair/raw_data_file.h"
#include "isam/maint/repair/repair_console.h"
#include "isam/runtime/engine_instance.h"
#include "isam/superfile/superfile_member.h"

namespace isam::maint {
namespace {

constexpr uint16_t kSuperfileModeBit = 0x200;
constexpr uint16_t kVariableModeBit = 0x4;

int Finish(FileControlBlock* fcb, int number, int code) {
  CloseRawDataFile(fcb);
  return SetIsamError(code, number);
}

}  // namespace

int ExamineDataFile(int number, const char* path, int record_length, int extension_size, int file_mode,
                    const IfilBlock* block) {
  (void)block;
  RepairPrint("\n\nExamining data file %s.", path ? path : "");
  if (path != nullptr && IsMemberName(path)) {
    RepairPrint("\n%s is a superfile member.", path);
    return SetIsamError(kRepairMember, number);
  }
  FileControlBlock* fcb = nullptr;
  if (int rc = OpenRawDataFile(number, path, &fcb)) return SetIsamError(rc, number);
  FileHeader& h = fcb->header;
  if (h.format_id != kFileFormatId) {
    RepairPrint("\nData file version incompatibility detected.");
    return Finish(fcb, number, kRepairVersion);
  }
  if (h.file_class == kClassSuperHost && !(file_mode & kSuperfileModeBit)) {
    RepairPrint("\nSuperfile must carry SUPERFILE in the file mode parameter.");
    return Finish(fcb, number, kRepairSuperfileMode);
  }
  if (h.file_class == kClassSuperMember) {
    RepairPrint("\n%s is a superfile member.", path);
    return Finish(fcb, number, kRepairMember);
  }
  const bool variable = h.file_type == kFileTypeVariable;
  if ((h.file_type != kFileTypeVariable && h.file_type != kFileTypeFixed) ||
      variable != ((file_mode & kVariableModeBit) != 0)) {
    RepairPrint("\nAttempt to change fixed/variable length status.");
    return Finish(fcb, number, kRepairFixedVariable);
  }
  bool changed = false;
  bool corrupt = false;
  // Writers that died with the file open leave their count: the repair
  // and the rebuild that follows put right what they left, and an open
  // that still found the count would mend indexes the rebuild is about to
  // load from scratch.
  if (h.reserved72 != 0) {
    h.reserved72 = 0;
    changed = true;
  }
  // A compacted file's indexes still name the old file's positions: the
  // file stays marked (as rebuilding, which only a rebuild opens) until
  // the caller has loaded them anew.
  const bool compacted = h.rebuild_status == kRebuildCompacted;
  if (compacted) {
    RepairPrint("\nData File has been compacted. Associated indices must be rebuilt.");
    h.rebuild_status = kRebuildRunning;
    changed = true;
  } else if (h.rebuild_status != kRebuildClean) {
    RepairPrint("\nData File is corrupt (flag = %d).", h.rebuild_status);
    corrupt = true;
  }
  if (record_length != h.record_length) {
    if (AskUseParameterValue("data record length", record_length, h.record_length)) {
      h.record_length = static_cast<uint16_t>(record_length);
      changed = true;
    }
  }
  if (extension_size != h.extension_size) {
    if (AskUseParameterValue("file extension size", extension_size, h.extension_size)) {
      h.extension_size = static_cast<uint16_t>(extension_size);
      changed = true;
    }
  }
  if (!changed && !corrupt) {
    RepairPrint("\n\nNo data file rebuild necessary.");
    return Finish(fcb, number, 0);
  }
  RepairPrint("\n\nRebuilding data file.\n");
  // Flagged while the repair runs: a repair cut short leaves the file
  // corrupt, so the next examination repairs it again.
  h.rebuild_status = kRebuildRunning;
  if (int rc = WriteFileHeader(fcb)) return Finish(fcb, number, rc);
  if (int rc = RebuildDataFile(fcb)) return Finish(fcb, number, rc);
  h.rebuild_status = compacted ? kRebuildRunning : kRebuildClean;
  if (int rc = WriteFileHeader(fcb)) return Finish(fcb, number, rc);
  if (variable) {
    RepairPrint("\nData file rebuild complete (%ld bytes).", static_cast<long>(h.logical_end) + 1);
  } else {
    RepairPrint("\nData file rebuild complete (%ld bytes / %ld active records).", static_cast<long>(h.logical_end) + 1,
                static_cast<long>(h.active_count));
  }
  return Finish(fcb, number, 0);
}

int MarkDataFileRebuilding(int number, const char* path) {
  FileControlBlock* fcb = nullptr;
  if (int rc = OpenRawDataFile(number, path, &fcb)) return SetIsamError(rc, number);
  int rc = 0;
  if (fcb->header.rebuild_status != kRebuildRunning) {
    fcb->header.rebuild_status = kRebuildRunning;
    rc = WriteFileHeader(fcb);
  }
  return Finish(fcb, number, rc);
}

}  // namespace isam::maint
