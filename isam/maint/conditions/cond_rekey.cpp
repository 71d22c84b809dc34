// Re-keying one index from its data file's records.
#include "isam/maint/conditions/cond_rekey.h"

#include <cstdint>
#include <vector>

#include "isam/fileset/isam_record_services.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/key_search.h"
#include "isam/index/writer_mark.h"
#include "isam/index/varlen_record.h"
#include "isam/record/fixed_record.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"

namespace isam::maint {
namespace {

int SetRebuildStatus(FileControlBlock* data, uint8_t status) {
  if (int rc = LockFileHeader(data)) return rc;
  data->header.rebuild_status = status;
  const int rc = WriteFileHeader(data);
  UnlockFileHeader(data);
  return rc;
}

int MarkCorrupt(FileControlBlock* data, int code) {
  SetRebuildStatus(data, kRebuildStatusCorrupt);
  return code;
}

// Adds the key of one record when it has one.
int AddRecordKey(int index, const uint8_t* record, std::size_t length, uint32_t position) {
  uint8_t key[256];
  const int n = BuildRecordKey(index, record, length, position, key);
  if (n < 0) return -n;
  if (n == 0) return 0;
  const int rc = addkey(index, key, position, 0);
  return rc == 2 ? 0 : rc;  // already there (a shared key of a unique index) is no failure here
}

int AddVariableKeys(int index, FileControlBlock* data) {
  uint64_t position = FirstVarPosition(data);
  const uint64_t end = static_cast<uint64_t>(data->header.logical_end) + 1;
  std::vector<uint8_t> buffer;
  while (position < end) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(data, static_cast<uint32_t>(position), &h)) return rc;
    if (h.total == 0) return 690;
    if (h.mark == kMarkActive && h.used > 0 && h.member == data->header.superfile_member) {
      buffer.resize(h.used);
      if (ReadVarRecordAt(data, static_cast<uint32_t>(position), buffer.data(), static_cast<int32_t>(h.used), true) < 0)
        return CurrentInstance()->eng_err ? CurrentInstance()->eng_err : 36;
      if (int rc = AddRecordKey(index, buffer.data(), buffer.size(), static_cast<uint32_t>(position))) return rc;
    }
    position += h.total;
  }
  return 0;
}

int AddFixedKeys(int index, int data_file, FileControlBlock* data) {
  const uint32_t length = data->header.record_length;
  if (length == 0) return 690;
  std::vector<uint8_t> buffer(length);
  const uint64_t end = static_cast<uint64_t>(data->header.logical_end) + 1;
  for (uint64_t p = FirstFixedPosition(data); p + length <= end; p += length) {
    int32_t count = 0;
    if (int rc = FilePositionedIo(0, data, static_cast<uint32_t>(p), buffer.data(), static_cast<int32_t>(length), &count))
      return rc;
    if (buffer[0] == 0xFF || (buffer[0] == 0xFE && buffer[1] == 0xFE)) continue;  // deleted, or a resource
    if (int rc = AddRecordKey(index, buffer.data(), buffer.size(), static_cast<uint32_t>(p))) return rc;
  }
  (void)data_file;
  return 0;
}

}  // namespace

int MarkRekeyPending(int data_file) {
  FileControlBlock* data = FileControlOf(data_file);
  if (data == nullptr) return CurrentInstance()->eng_err;
  // The open mends only variable-length files; a fixed-length one is
  // refused until a rebuild while the mark stands.
  if (data->header.file_type == kFileTypeVariable) return MarkWriter(data);
  return SetRebuildStatus(data, kRebuildStatusCorrupt);
}

int RekeyIndex(int index) {
  const IsamKeyRow* row = IsamIndexRow(index);
  if (row == nullptr) return 614;
  const int data_file = row->def.data_file;
  FileControlBlock* data = FileControlOf(data_file);
  if (data == nullptr) return CurrentInstance()->eng_err;
  if (int rc = MarkRekeyPending(data_file)) return rc;
  uint8_t key[256];
  // Empty first: every key the old condition let in goes.
  for (int guard = 0;; ++guard) {
    SetEngineError(0);
    const uint32_t p = frskey(index, key);
    if (p == 0) {
      if (CurrentInstance()->eng_err != 0) return MarkCorrupt(data, CurrentInstance()->eng_err);
      break;
    }
    if (int rc = delkey(index, key, p, 0)) return MarkCorrupt(data, rc);
    if (guard > 0x7FFFFFF) return MarkCorrupt(data, 690);
  }
  const int rc = data->header.file_type == kFileTypeVariable ? AddVariableKeys(index, data)
                                                             : AddFixedKeys(index, data_file, data);
  if (rc != 0) {
    SetEngineError(rc);
    return MarkCorrupt(data, rc);
  }
  // A fixed-length file's mark is lifted once its index is whole again.
  if (data->header.file_type != kFileTypeVariable) {
    if (int mark = SetRebuildStatus(data, kRebuildClean)) return MarkCorrupt(data, mark);
  }
  return SetEngineError(0);
}

}  // namespace isam::maint
