// The file-set rebuild: examine, start the indexes empty, one walk of the
// data file feeding one sort per index, bulk loads, rejects.
#include "isam/maint/rebuild/rebuild_file_set.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_internal.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/free_space.h"
#include "isam/index/varlen_record.h"
#include "isam/maint/conditions/cond_rekey.h"
#include "isam/maint/rebuild/bulk_load.h"
#include "isam/maint/rebuild/compact_file_set.h"
#include "isam/maint/repair/data_file_repair.h"
#include "isam/maint/sort/merge_sort.h"
#include "isam/record/fixed_record.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/status_log.h"

namespace isam::maint {
namespace {

constexpr int16_t kOptionStore = -99, kOptionPurge = -101, kOptionBoth = -200;

std::string g_last_reject;
thread_local RebuildTimes g_times;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What one index's rebuild keeps.
struct IndexRun {
  int key = 0;
  bool first_of_file = false;
  int key_length = 0;
  bool duplicates = false;
  SortContext* sort = nullptr;
  long added = 0, rejected = 0, bad_serials = 0;
  bool listed_header = false, listed_serial_header = false;
  int serial_offset = -1;  // record offset of its serial-number segment
};

// Everything restored on every way out.
class RunGuard {
 public:
  explicit RunGuard(IfilBlock* b)
      : b_(b), data_file_(b->data_file), data_mode_(b->data_mode), index_mode_(b->index_mode) {
    EngineInstance* inst = CurrentInstance();
    rebuild_mode_ = inst->rebuild_mode;
    inst->rebuild_mode = true;
    b->data_file = -1;
    b->data_mode = static_cast<int16_t>(b->data_mode & ~kModeShared);
    b->index_mode = static_cast<int16_t>(b->index_mode & ~kModeShared);
  }
  ~RunGuard() {
    for (IndexRun& r : runs)
      if (r.sort != nullptr) SortAbort(r.sort);
    IndexBulkAbandon();
    if (b_->assigned >= 0) CloseFileSet(b_);
    if (list != nullptr) std::fclose(list);
    if (!reject_name.empty() && !keep_rejects) OsDeleteFile(reject_name.c_str());
    EngineInstance* inst = CurrentInstance();
    inst->rebuild_mode = rebuild_mode_;
    b_->data_file = data_file_;
    b_->data_mode = data_mode_;
    b_->index_mode = index_mode_;
  }
  std::vector<IndexRun> runs;
  std::FILE* list = nullptr;
  std::string reject_name;
  bool keep_rejects = false;
  bool indexes_started = false;  // the data file carries the rebuilding mark
  std::string data_name;

 private:
  IfilBlock* b_;
  int16_t data_file_, data_mode_, index_mode_;
  bool rebuild_mode_ = false;
};

void PutBigEndian(uint8_t* at, uint32_t v) {
  at[0] = static_cast<uint8_t>(v >> 24);
  at[1] = static_cast<uint8_t>(v >> 16);
  at[2] = static_cast<uint8_t>(v >> 8);
  at[3] = static_cast<uint8_t>(v);
}
uint32_t GetBigEndian(const uint8_t* at) {
  return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

// Every index file of the set made anew, empty, with its members, pad
// bytes and collating tables, and closed again: a rebuild never keeps an
// old node, so the file does not grow from one rebuild to the next.
int StartIndexesEmpty(const IfilBlock& b, int n, const FileSetNames& names) {
  const std::vector<IndexFileGroup> groups = GroupIndexFiles(b);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const IndexFileGroup& f = groups[g];
    const IndexDefinition& d = b.indexes[f.first_index];
    const int k = n + 1 + f.first_index;
    const char* name = names.index_files[g].c_str();
    OsDeleteFile(name);  // absent is fine
    int rc = CreateIndexFile(k, name, d.key_length, d.key_type, d.duplicates, f.members,
                             static_cast<uint16_t>(b.index_extension), static_cast<uint16_t>(b.index_mode));
    if (rc != 0) return SetIsamError(rc, k);
    for (int m = 0; m <= f.members && rc == 0; ++m) {
      const IndexDefinition& md = b.indexes[f.first_index + m];
      if (m > 0) rc = AddIndexMember(k, md.key_length, md.key_type, md.duplicates, m);
      FileControlBlock* fcb = rc == 0 ? CheckFileNumber(k + m) : nullptr;
      if (rc == 0 && fcb != nullptr && md.pad_byte != nullptr) {
        fcb->header.padding = *md.pad_byte;
        fcb->layout.pad = *md.pad_byte;
        rc = WriteFileHeader(fcb);
      }
      if (rc == 0 && md.collation != nullptr) rc = PutIndexTable(k + m, md.collation, true);
    }
    const int closed = CloseFileEntry(k);
    if (rc == 0) rc = closed;
    if (rc != 0) {
      OsDeleteFile(name);
      return SetIsamError(rc, k);
    }
  }
  return 0;
}

void Dump(std::FILE* out, const uint8_t* key, int length) {
  for (int at = 0; at < length; at += 16) {
    const int n = length - at < 16 ? length - at : 16;
    std::fputc('\t', out);
    for (int i = 0; i < n; ++i) std::fprintf(out, "%02x ", key[at + i]);
    std::fputs("   ", out);
    for (int i = 0; i < n; ++i) {
      const uint8_t c = key[at + i];
      std::fputc(c < 32 || c == 127 ? '.' : c, out);
    }
    std::fputc('\n', out);
  }
  std::fputc('\n', out);
}

// One walk of the data file: each active record's key goes to the sort of
// every index it has a key in. 0, 123 (a bad mark: the file is flagged
// corrupt) or a code.
void WritePurge(std::FILE* out, int data, uint32_t position, std::vector<uint8_t>& record);

// A record whose serial number is 0xFFFFFFFF gets no key in an index with a
// serial segment: it is listed, or with the purge option purged.
void RejectSerial(IndexRun& r, int data, uint32_t position, const char* set_name, std::FILE* list, bool purge,
                  std::vector<uint8_t>& record) {
  std::printf("\nWARNING: record at offset %ld has a serial number of 0xFFFFFFFF", static_cast<long>(position));
  ++r.bad_serials;
  ++r.rejected;
  if (purge) {
    std::vector<uint8_t> copy = record;
    WritePurge(list, data, position, copy);
    return;
  }
  if (!r.listed_serial_header) {
    std::fprintf(list, "\nBad serial number(s) found for %s, keyno=%d:\n", set_name, r.key - data);
    r.listed_serial_header = true;
  }
  std::fprintf(list, "serial number rejected for recpos=%ld (%lxx)\n", static_cast<long>(position),
               static_cast<unsigned long>(position));
}

int WalkData(int data, std::vector<IndexRun>& runs, std::vector<uint8_t>& record, const char* set_name,
             std::FILE* list, bool purge, uint32_t* top_serial) {
  std::vector<uint8_t> key(260), sort_key(264);
  int32_t length = static_cast<int32_t>(record.size());
  long walked = 0;
  for (int rc = IsamRecordFirst(data, record.data(), &length);; rc = IsamRecordNext(data, record.data(), &length)) {
    if (rc == 101) return 0;
    if (rc == 158 || rc == 123) {
      if (FileControlBlock* fcb = CheckFileNumber(data); fcb != nullptr) {
        fcb->header.rebuild_status = kRebuildStatusCorrupt;
        WriteFileHeader(fcb);
      }
      return SetIsamError(123, data);
    }
    if (rc != 0) return rc;
    if (length > static_cast<int32_t>(record.size())) {
      record.resize(static_cast<std::size_t>(length));
      if ((rc = IsamRecordReread(data, record.data(), length, &length)) != 0) return rc;
    }
    const uint32_t position = CurrentRecordPosition(data);
    for (IndexRun& r : runs) {
      if (r.serial_offset >= 0 && r.serial_offset + 4 <= length) {
        const uint8_t* at = record.data() + r.serial_offset;
        const uint32_t serial = at[0] | (uint32_t{at[1]} << 8) | (uint32_t{at[2]} << 16) | (uint32_t{at[3]} << 24);
        if (serial == 0xFFFFFFFFu) {
          RejectSerial(r, data, position, set_name, list, purge, record);
          continue;
        }
        if (serial > *top_serial) *top_serial = serial;
      }
      if (BuildStoredKey(r.key, record.data(), key.data(), position, length) == 0) continue;
      std::memcpy(sort_key.data(), key.data(), static_cast<std::size_t>(r.key_length));
      if (!r.duplicates) PutBigEndian(sort_key.data() + r.key_length, position);
      if ((rc = SortAddKey(r.sort, sort_key.data())) != 0) return kSortErrorBase + rc;
    }
    if (++walked % 128 == 0) std::fputc('d', stdout);
    length = static_cast<int32_t>(record.size());
  }
}

// A purge record: position, length, image.
void WritePurge(std::FILE* out, int data, uint32_t position, std::vector<uint8_t>& record) {
  FileControlBlock* fcb = CheckFileNumber(data);
  int32_t length = 0;
  if (fcb != nullptr && fcb->header.file_type == kFileTypeVariable) {
    length = ReadVarRecordLength(fcb, position, INT32_MAX, false);
    if (length > 0) {
      if (static_cast<std::size_t>(length) > record.size()) record.resize(static_cast<std::size_t>(length));
      length = ReadVarRecordAt(fcb, position, record.data(), length, true);
    }
  } else if (fcb != nullptr) {
    length = fcb->header.record_length;
    if (static_cast<std::size_t>(length) > record.size()) record.resize(static_cast<std::size_t>(length));
    if (ReadDataRecordAt(data, position, record.data()) != 0) length = -1;
  }
  if (length < 0 || std::fwrite(&position, 4, 1, out) != 1 || std::fwrite(&length, 4, 1, out) != 1 ||
      std::fwrite(record.data(), 1, static_cast<std::size_t>(length), out) != static_cast<std::size_t>(length))
    WriteStatusLog("Could not write rebuild-duplicate-key temporary file", 0);
}

// The sorted keys of one index into its bulk load.
int LoadIndex(IndexRun& r, int data, const char* set_name, RunGuard& guard, bool purge,
              std::vector<uint8_t>& record) {
  const int sort_length = r.key_length + (r.duplicates ? 0 : 4);
  std::vector<uint8_t> key(static_cast<std::size_t>(sort_length));
  // A rejected first key still started the load: the next key continues it.
  int mode = kBulkStart;
  bool started = false;
  int rc = 0;
  for (;;) {
    const int next = SortNextKey(r.sort, key.data());
    if (next == 1) {
      r.sort = nullptr;  // the sort freed itself
      break;
    }
    if (next != 0) return kSortErrorBase + next;
    const uint32_t position = GetBigEndian(key.data() + sort_length - 4);
    rc = IndexBulkAddKey(r.key, key.data(), position, mode);
    started = started || rc == 0 || rc == 59;
    if (started) mode = kBulkNext;
    if (rc == 59) {
      ++r.rejected;
      if (purge) {
        WritePurge(guard.list, data, position, record);
      } else {
        if (!r.listed_header) {
          std::fprintf(guard.list, "\nDuplicate key(s) found for %s, keyno=%d:\n", set_name, r.key - data);
          r.listed_header = true;
        }
        std::fprintf(guard.list, "key value rejected for recpos=%ld (%lxx)\n", static_cast<long>(position),
                     static_cast<unsigned long>(position));
        Dump(guard.list, key.data(), r.key_length);
      }
      continue;
    }
    if (rc != 0) return rc;
    if (++r.added % 256 == 0) std::fputc('i', stdout);
  }
  // No key at all: the index was made empty (root and count 0) already.
  if (started && (rc = IndexBulkAddKey(r.key, nullptr, 0, kBulkFinish)) != 0) return rc;
  std::printf(r.first_of_file ? "\nIndex file rebuild complete (%ld entries added)."
                              : "\nAdditional index member rebuild complete (%ld entries added).",
              r.added);
  if (r.rejected > r.bad_serials)
    std::printf("\nkeyno=%d: %ld entries rejected (duplicates).", r.key - data, r.rejected - r.bad_serials);
  if (r.bad_serials != 0)
    std::printf("\nkeyno=%d: %ld entries rejected (bad serial numbers).", r.key - data, r.bad_serials);
  return 0;
}

// Every purge record: its keys leave every index (a key that is not there
// is fine), then the record goes, once per position and only while an
// active record with that image still stands there. 650 or 651.
int Purge(const std::string& name, int data, const IfilBlock& b) {
  std::FILE* in = OpenStreamWithRetry(name.c_str(), "rb", 3);
  if (in == nullptr) {
    WriteStatusLog("Could not process any rejected records (tmp)", 0);
    return 651;
  }
  std::set<uint32_t> done;
  std::vector<uint8_t> image, current, key(260);
  long processed = 0;
  int result = 650;
  FileControlBlock* fcb = CheckFileNumber(data);
  const bool variable = fcb != nullptr && fcb->header.file_type == kFileTypeVariable;
  for (;;) {
    uint32_t position = 0;
    int32_t length = 0;
    if (std::fread(&position, 4, 1, in) != 1) break;
    if (std::fread(&length, 4, 1, in) != 1 || length < 0 || length > (1 << 24)) {
      WriteStatusLog("Only found some records", static_cast<int>(processed));
      break;
    }
    image.resize(static_cast<std::size_t>(length));
    if (std::fread(image.data(), 1, image.size(), in) != image.size()) {
      WriteStatusLog("Only found some records", static_cast<int>(processed));
      break;
    }
    if (!done.insert(position).second) continue;
    // The record must still stand there, unchanged.
    current.assign(image.size() + 1, 0);
    int32_t have = -1;
    if (variable) {
      if (ReadVarRecordLength(fcb, position, INT32_MAX, false) == length)
        have = ReadVarRecordAt(fcb, position, current.data(), length, true);
    } else if (ReadDataRecordAt(data, position, current.data()) == 0) {
      have = length;
    }
    if (have != length || std::memcmp(current.data(), image.data(), image.size()) != 0) continue;
    for (int i = 0; i < b.index_count; ++i) {
      const int k = data + 1 + i;
      if (BuildStoredKey(k, image.data(), key.data(), position, length) == 0) continue;
      const int rc = DeleteKey(k, key.data(), position);
      if (rc != 0 && rc != 3 && rc != 4) {
        WriteStatusLog("Unexpected key delete error after processing records", rc);
        std::fclose(in);
        return 651;
      }
    }
    const int rc = variable ? ReleaseVarRecordSpace(data, position) : ReleaseDataRecord(data, position);
    if (rc != 0) {
      WriteStatusLog("Could not mark record deleted", rc);
      result = 651;
      break;
    }
    ++processed;
  }
  std::fclose(in);
  if (result == 650) WriteStatusLog("Completed automatic purge of rejected data records.", 0);
  return result;
}

int Run(IfilBlock* b, RunGuard& guard, bool purge, bool store) {
  if (b->index_count < 0 || b->index_count > kMaxFileSetIndexes) return SetIsamError(107, 0);
  if (b->data_mode & 0x200) return SetIsamError(48, 0);
  const FileSetNames names = ResolveFileSetNames(*b);
  if (FinishCutShortCompaction(names.data) != 0) return SetIsamError(67, 0);
  const int n = FindFreeFileNumbers(b->index_count + 1);
  if (n < 0) return n;
  int rc = ExamineDataFile(n, names.data.c_str(), b->record_length, b->data_extension, b->data_mode, b);
  if (rc != 0) return rc;
  // From here until the indexes are whole the data file carries the mark.
  if ((rc = MarkDataFileRebuilding(n, names.data.c_str())) != 0) return rc;
  guard.indexes_started = true;
  guard.data_name = names.data;
  if ((rc = StartIndexesEmpty(*b, n, names)) != 0) return rc;
  b->data_file = static_cast<int16_t>(n);
  if ((rc = OpenFileSetFromIfil(b)) != 0) return rc;
  b->data_file = -1;
  const int data = b->assigned;
  EngineInstance* inst = CurrentInstance();
  std::vector<uint8_t> record(static_cast<std::size_t>(b->record_length > 30 ? b->record_length : 30) + 4096);
  if (b->index_count > 0) {
    char temp[256];
    if ((rc = MakeTempFileName(temp, sizeof temp)) != 0) return SetIsamError(rc, data);
    guard.reject_name = temp;
    guard.list = OpenStreamWithRetry(temp, purge ? "wb" : "w", 3);
    if (guard.list == nullptr) return SetIsamError(102, data);
  }
  const std::vector<IndexFileGroup> groups = GroupIndexFiles(*b);
  for (int i = 0; i < b->index_count; ++i) {
    IndexRun r;
    r.key = data + 1 + i;
    FileControlBlock* fcb = CheckFileNumber(r.key);
    if (fcb == nullptr) return SetIsamError(inst->eng_err, r.key);
    r.key_length = fcb->header.key_length;
    r.duplicates = fcb->header.duplicates != 0;
    for (const IndexFileGroup& g : groups) r.first_of_file = r.first_of_file || g.first_index == i;
    if (const IsamTables* t = CurrentIsamTables(); t != nullptr && r.key < static_cast<int>(t->keys.size())) {
      const KeyDefinition& def = t->keys[static_cast<std::size_t>(r.key)].def;
      for (const KeySegment& seg : def.segments) {
        if (seg.offset < 0) break;
        if ((seg.mode & 0x10F) == 3) {
          r.serial_offset = seg.offset;
          break;
        }
      }
    }
    r.sort = SortCreate(r.key_length + (r.duplicates ? 0 : 4), 5);
    if (r.sort == nullptr) return SetIsamError(inst->eng_err, r.key);
    guard.runs.push_back(r);
  }
  const auto walk_start = std::chrono::steady_clock::now();
  uint32_t top_serial = 0;
  if ((rc = WalkData(data, guard.runs, record, names.data.c_str(), guard.list, purge, &top_serial)) != 0)
    return SetIsamError(rc, data);
  // A serial above the counter would be handed out again: raise it.
  if (FileControlBlock* fcb = CheckFileNumber(data); fcb != nullptr && top_serial > fcb->header.serial_counter) {
    fcb->header.serial_counter = top_serial;
    if ((rc = WriteFileHeader(fcb)) != 0) return SetIsamError(rc, data);
  }
  g_times.walk_and_sort = Since(walk_start);
  const auto load_start = std::chrono::steady_clock::now();
  long rejected = 0;
  for (IndexRun& r : guard.runs) {
    if (!r.first_of_file) std::printf("\n\nRebuilding additional index #%d ", r.key - data);
    if ((rc = LoadIndex(r, data, names.data.c_str(), guard, purge, record)) != 0) return SetIsamError(rc, r.key);
    rejected += r.rejected;
  }
  g_times.load = Since(load_start);
  if (store && !(b->data_mode & 0x800)) {
    std::printf("\nUpdating FILESET resource in <%s>\n", names.data.c_str());
    if ((rc = WriteIfilResource(*b, data)) != 0) return SetIsamError(rc, data);
  }
  if (guard.list != nullptr) {
    std::fclose(guard.list);
    guard.list = nullptr;
  }
  if (rejected == 0) return SetIsamError(0, data);
  char line[128];
  std::snprintf(line, sizeof line, "%ld duplicate key(s) and/or bad serial number(s) rejected...", rejected);
  WriteStatusLog(line, 0);
  WriteStatusLog(names.data.c_str(), 0);
  WriteStatusLog(guard.reject_name.c_str(), 0);
  if (!purge) {
    std::printf("\nSee %s for details on duplicate keys and/or bad serial numbers.\n", guard.reject_name.c_str());
    guard.keep_rejects = true;
    g_last_reject = guard.reject_name;
    return SetIsamError(652, data);
  }
  std::printf("\nSee ENGSTAT.LOG for details on automatic purging of duplicate keys and/or bad serial numbers\n");
  return SetIsamError(Purge(guard.reject_name, data, *b), data);
}

}  // namespace

const char* LastRejectFileName() { return g_last_reject.c_str(); }
RebuildTimes LastRebuildTimes() { return g_times; }

int RebuildFileSet(IfilBlock* block) {
  if (block == nullptr || CurrentInstance() == nullptr) return 33;
  const int16_t option = block->data_file;
  g_last_reject.clear();
  g_times = RebuildTimes{};
  const bool purge = option == kOptionPurge || option == kOptionBoth;
  const bool store = option == kOptionStore || option == kOptionBoth;
  RunGuard guard(block);
  int rc = Run(block, guard, purge, store);
  // The close writes each header a last time: a run whose files did not
  // close cleanly did not end well.
  if (block->assigned >= 0) {
    const int closed = CloseFileSet(block);
    if (closed != 0 && (rc == 0 || rc == 650 || rc == 652)) rc = SetIsamError(closed, 0);
  }
  // The close clears the rebuilding mark; a run that did not load every
  // index puts it back, so no ordinary open takes the set as it is and
  // the next rebuild repairs and loads it.
  if (rc != 0 && rc != 650 && rc != 651 && rc != 652 && guard.indexes_started) {
    EngineInstance* inst = CurrentInstance();
    const int16_t file = inst->isam_error_file;
    const int n = FindFreeFileNumbers(1);
    if (n >= 0) MarkDataFileRebuilding(n, guard.data_name.c_str());
    SetIsamError(rc, file);
  }
  std::fflush(stdout);
  return rc;
}

}  // namespace isam::maint
