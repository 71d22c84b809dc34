#include "isam/fileset/file_set_mend_report.h"

#include <algorithm>
#include <set>
#include <utility>

#include "isam/index/file_control_block.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/status_log.h"

namespace isam {
namespace {

// The open and the caller's look at what it did run on one thread, as an
// engine instance does.
thread_local MendReport t_report;
thread_local std::set<uint32_t> t_noted;

}  // namespace

void BeginMendReport(const FileControlBlock* fcb) {
  t_report = MendReport{};
  t_noted.clear();
  t_report.mended = true;
  t_report.file = fcb->name;
}

void NoteSetAside(FileControlBlock* fcb, uint32_t position, uint32_t used) {
  if (!t_noted.insert(position).second) return;
  std::vector<uint8_t> bytes(std::min(used, kSetAsideKeep));
  int32_t count = 0;
  if (FilePositionedIo(0, &HolderOf(fcb)->os, position + VarHeaderLength(fcb), bytes.data(),
                       static_cast<int32_t>(bytes.size()), &count) != 0)
    count = 0;
  bytes.resize(static_cast<std::size_t>(std::max(0, count)));
  t_report.set_aside.push_back(std::move(bytes));
  WriteStatusLog("Set aside a record not written whole before the crash (the change in flight), at:",
                 static_cast<int>(position));
}

void NotePassedOver(uint32_t position) {
  ++t_report.passed_over;
  WriteStatusLog("Passed over bytes no sound stretch header began, made free space, at:", static_cast<int>(position));
}

void EndMendReport(int32_t kept, bool rebuilt) {
  t_report.kept = kept;
  t_report.rebuilt = rebuilt;
}

MendReport TakeMendReport() {
  MendReport out = std::move(t_report);
  t_report = MendReport{};
  t_noted.clear();
  return out;
}

}  // namespace isam
