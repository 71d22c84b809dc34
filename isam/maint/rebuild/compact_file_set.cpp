// Compaction of a data file into a fresh one, the swap, the index rebuild.
#include "isam/maint/rebuild/compact_file_set.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_internal.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_header.h"
#include "isam/index/file_open.h"
#include "isam/index/free_space.h"
#include "isam/index/node_cache.h"
#include "isam/index/varlen_record.h"
#include "isam/maint/rebuild/rebuild_file_set.h"
#include "isam/record/fixed_record.h"
#include "isam/record/resource_chain.h"
#include "isam/superfile/superfile_names.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/status_log.h"

namespace isam::maint {
namespace {

struct Counts {
  long deleted = 0;        // bytes (variable) or records (fixed)
  long resources = 0;      // bytes (variable) or records (fixed)
  long bad = 0;
};

uint64_t UsedEnd(FileControlBlock* fcb) {
  const uint64_t logical = static_cast<uint64_t>(fcb->header.logical_end) + 1;
  const uint64_t size = GetOsFileSize(&fcb->os);
  return logical < size ? logical : size;
}

bool FileExists(const std::string& name) {
  std::FILE* f = OpenStreamWithRetry(name.c_str(), "rb", 1);
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

enum class WorkFile { kNone, kEngine, kShort, kForeign };

// What stands under a work name: nothing, an engine data file (its header's
// format and type), fewer bytes than a header, or something else.
WorkFile LookAtWorkFile(const std::string& name) {
  std::FILE* f = OpenStreamWithRetry(name.c_str(), "rb", 1);
  if (f == nullptr) return WorkFile::kNone;
  uint8_t bytes[kFileHeaderSize];
  const std::size_t n = std::fread(bytes, 1, sizeof bytes, f);
  std::fclose(f);
  if (n < sizeof bytes) return WorkFile::kShort;
  FileHeader h;
  DecodeFileHeader(bytes, &h);
  const bool data = h.file_type == kFileTypeVariable || h.file_type == kFileTypeFixed;
  return h.format_id == kFileFormatId && data ? WorkFile::kEngine : WorkFile::kForeign;
}

// Every resource of `from` (the anchor is no resource of the chain) is
// added to `to`; one `to` has already (its definition, made with it) stays.
int CopyResources(int from, int to) {
  uint32_t key[2] = {0, 0};
  std::vector<uint8_t> data;
  for (;;) {
    uint8_t describe[12];
    SetEngineError(0);
    if (ResourceRecordFind(from, key, describe, sizeof describe, kFindResourceAfter | kFindResourceDescribe) == 0) {
      const int rc = CurrentInstance()->eng_err;
      return rc == 408 || rc == 401 ? 0 : rc;
    }
    uint32_t length;
    std::memcpy(&key[0], describe, 4);
    std::memcpy(&key[1], describe + 4, 4);
    std::memcpy(&length, describe + 8, 4);
    data.assign(length, 0);
    if (ResourceRecordFind(from, key, data.data(), static_cast<int32_t>(length), kFindResourceByKey) == 0)
      return CurrentInstance()->eng_err;
    const int rc = AddResourceEntry(to, data.data(), static_cast<int32_t>(length));
    if (rc != 0 && rc != 405) return rc;
  }
}

int CopyVariable(FileControlBlock* old_fcb, int to, Counts* counts) {
  FileControlBlock* to_fcb = CheckFileNumber(to);
  const uint64_t end = UsedEnd(old_fcb);
  const uint64_t bound = end / 10 + 2;
  std::vector<uint8_t> record;
  uint64_t steps = 0;
  for (uint64_t at = FirstVarPosition(old_fcb); at < end;) {
    if (++steps > bound) return 512;
    VarRecordHeader h;
    int rc = ReadVarRecordHeader(old_fcb, static_cast<uint32_t>(at), &h);
    if (rc != 0 || CheckRecordMark(h) != 0 || h.total == 0 || h.used > h.total) return 123;
    if (h.mark == kMarkActive) {
      record.resize(h.used + 1);
      const int32_t n = ReadVarRecordAt(old_fcb, static_cast<uint32_t>(at), record.data(), static_cast<int32_t>(h.used), true);
      if (n < 0) return -n;
      const uint32_t into = NewVarRecordSpace(to, static_cast<uint32_t>(n));
      if (into == 0) return CurrentInstance()->eng_err != 0 ? CurrentInstance()->eng_err : 123;
      if ((rc = WriteVarRecordAt(to_fcb, into, record.data(), static_cast<uint32_t>(n), false)) != 0) return rc;
    } else if (h.mark == kMarkFree || h.mark == kMarkSpaceNode) {
      counts->deleted += static_cast<long>(h.total);
    } else if (h.mark == kMarkResource && static_cast<uint32_t>(at) != old_fcb->header.first_resource) {
      counts->resources += static_cast<long>(h.total);
    }
    at += h.total;
  }
  return 0;
}

int CopyFixed(FileControlBlock* old_fcb, int from, int to, Counts* counts) {
  const uint32_t length = old_fcb->header.record_length;
  const uint64_t end = UsedEnd(old_fcb);
  std::vector<uint8_t> record(length);
  for (uint64_t at = FirstFixedPosition(old_fcb); at + length <= end;) {
    int32_t count = 0;
    int rc = FilePositionedIo(0, &old_fcb->os, static_cast<uint32_t>(at), record.data(), static_cast<int32_t>(length),
                              &count);
    if (rc == 36 || (rc == 0 && count != static_cast<int32_t>(length))) break;
    if (rc != 0) return rc;
    if (record[0] == 0xFF) {
      ++counts->deleted;
      at += length;
    } else if (record[0] == 0xFE && record[1] == 0xFE) {
      ++counts->resources;
      uint32_t total;
      std::memcpy(&total, record.data() + 2, 4);
      const uint64_t step = (static_cast<uint64_t>(total) + length - 1) / length * length;
      at += step == 0 || at + step > end ? length : step;
    } else {
      if ((rc = ReadDataRecordAt(from, static_cast<uint32_t>(at), record.data())) != 0) return rc;
      const uint32_t into = NewDataRecord(to);
      if (into == 0) return CurrentInstance()->eng_err != 0 ? CurrentInstance()->eng_err : 44;
      if ((rc = WriteDataRecordAt(to, into, record.data())) != 0) return rc;
      at += length;
    }
  }
  return 0;
}

void Log(const char* text, int code) { WriteStatusLog(text, code); }

// Copies into the temporary file; 0 or the code. Both files stay open.
int Copy(IfilBlock* b, int from, int to, const std::string& data_name, const std::string& temp, Counts* counts) {
  FileControlBlock* old_fcb = CheckFileNumber(from);
  const bool variable = old_fcb->header.file_type == kFileTypeVariable;
  if (variable != ((b->data_mode & 0x4) != 0) || (!variable && old_fcb->header.file_type != kFileTypeFixed)) {
    std::printf("\nERROR: FIXED / VLENGTH inconsistency.");
    return 122;
  }
  int rc = CreateDataFile(to, temp.c_str(), old_fcb->header.record_length, old_fcb->header.extension_size,
                          static_cast<uint16_t>(b->data_mode & ~kModeShared));
  if (rc != 0) {
    std::printf("\nERROR: could not create temporary file %s", temp.c_str());
    return rc;
  }
  Log("Compression: started.", 0);
  (void)data_name;
  rc = variable ? CopyVariable(old_fcb, to, counts) : CopyFixed(old_fcb, from, to, counts);
  if (rc == 0) rc = CopyResources(from, to);
  if (rc != 0) return rc;
  FileControlBlock* fresh = CheckFileNumber(to);
  fresh->header.serial_counter = old_fcb->header.serial_counter;
  fresh->header.rebuild_status = kRebuildCompacted;
  if ((rc = WriteFileHeader(fresh)) != 0) return rc;
  if (variable) {
    if (counts->deleted == 0 && counts->resources == 0 && counts->bad == 0)
      std::printf("\n\nNo deleted records or resources were encountered.\n");
    else
      std::printf("\n\n%ld deleted bytes were removed\n%ld bytes of resources were encountered\n"
                  "%ld bytes were removed following bad record marks/lengths\nBe sure to rebuild indices.\n",
                  counts->deleted, counts->resources, counts->bad);
  } else if (counts->deleted == 0 && counts->resources == 0) {
    std::printf("\n\nNo deleted or resource records were encountered.\n");
  } else {
    std::printf("\n\n%ld deleted records were removed & %ld resource records were encountered.\n"
                "Be sure to rebuild indices.\n",
                counts->deleted, counts->resources);
  }
  return FlushEngineFile(to);
}

int Run(IfilBlock* b) {
  if (b->index_count < 0 || b->index_count > kMaxFileSetIndexes) return SetIsamError(107, 0);
  const FileSetNames names = ResolveFileSetNames(*b);
  const std::string& data_name = names.data;
  const std::string backup = data_name + kCompactBackupSuffix;
  std::printf("\n\nCompressing data file %s.", data_name.c_str());
  if (SplitMemberName(data_name.c_str()) > 0) {
    std::printf("\nERROR: %s is a superfile member.", data_name.c_str());
    return SetIsamError(116, 0);
  }
  if (b->data_mode & 0x200) return SetIsamError(48, 0);
  const std::string temp = data_name + kCompactTempSuffix;
  if (FinishCutShortCompaction(data_name) != 0) return SetIsamError(67, 0);
  const int n = FindFreeFileNumbers(2);
  if (n < 0) return n;
  // A file compacted before whose indexes were never rebuilt is copied
  // all the same: this run rebuilds them.
  if (const int rc = OpenFileEntry(n, data_name.c_str(),
                                   static_cast<uint16_t>((b->data_mode & ~kModeShared) | kModeIgnoreRebuild))) {
    std::printf("\nERROR: could not open %s", data_name.c_str());
    return SetIsamError(rc, n);
  }
  Counts counts;
  int rc = Copy(b, n, n + 1, data_name, temp, &counts);
  const bool made = CheckFileNumber(n + 1) != nullptr;
  const int closed = CloseFileEntry(n);
  // The fresh file's header is written a last time as it closes: only a
  // clean close makes it whole.
  const int fresh_closed = made ? CloseFileEntry(n + 1) : 0;
  if (rc == 0) rc = fresh_closed != 0 ? fresh_closed : closed;
  if (rc != 0) {
    Log("Compression: data file error", rc);
    if (made) OsDeleteFile(temp.c_str());
    return SetIsamError(rc, n);
  }
  Log("Compression: data file completed ...", 0);
  Log(data_name.c_str(), 0);
  Log(temp.c_str(), 0);
  if (OsRenameFile(data_name.c_str(), backup.c_str()) != 0) {
    OsDeleteFile(temp.c_str());
    return SetIsamError(67, n);
  }
  if (OsRenameFile(temp.c_str(), data_name.c_str()) != 0) {
    OsRenameFile(backup.c_str(), data_name.c_str());
    OsDeleteFile(temp.c_str());
    return SetIsamError(67, n);
  }
  Log("Compression: temporary renamed.", 0);
  OsDeleteFile(backup.c_str());
  Log("Compression: original deleted.", 0);
  rc = RebuildFileSet(b);
  Log(rc == 0 ? "Compression: indices completed." : "Compression: index error", rc);
  return rc;
}

}  // namespace

int FinishCutShortCompaction(const std::string& data_name) {
  const std::string backup = data_name + kCompactBackupSuffix;
  const std::string temp = data_name + kCompactTempSuffix;
  // Without the data file the backup is it; beside a data file the backup
  // is the old copy of a swap that completed (the fresh file was whole and
  // flushed before it took the name). A fresh file that never reached its
  // name is dropped.
  if (!FileExists(data_name) && LookAtWorkFile(backup) == WorkFile::kEngine) {
    if (OsRenameFile(backup.c_str(), data_name.c_str()) != 0) return 67;
  }
  if (LookAtWorkFile(backup) == WorkFile::kEngine && OsDeleteFile(backup.c_str()) != 0) return 67;
  const WorkFile fresh = LookAtWorkFile(temp);
  if ((fresh == WorkFile::kEngine || fresh == WorkFile::kShort) && OsDeleteFile(temp.c_str()) != 0) return 67;
  // Something else under a work name is no file of ours: the run stops
  // rather than write over it.
  if (fresh == WorkFile::kForeign || LookAtWorkFile(backup) == WorkFile::kForeign) return 67;
  return 0;
}

int CompactFileSet(IfilBlock* block) {
  EngineInstance* inst = CurrentInstance();
  if (block == nullptr || inst == nullptr) return 33;
  const bool mode = inst->rebuild_mode;
  inst->rebuild_mode = true;
  const int rc = Run(block);
  inst->rebuild_mode = mode;
  std::fflush(stdout);
  return rc;
}

}  // namespace isam::maint
