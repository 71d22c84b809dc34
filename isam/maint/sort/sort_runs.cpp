// Runs on work files: writing a run, merging groups of runs of one tier
// into the X file, and the final merge that delivers the keys.
//
// Runs are kept in the order they were made; a merge replaces the last
// runs by one run a tier higher, so run sizes fall along the list and a
// key is merged about log(runs) / log(order - 1) times. At most order - 1
// runs are read at once (order files with the X file).
#include <cstring>

#include "isam/fileset/isam_record_services.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/maint/sort/sort_context.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam::maint {
namespace {

constexpr uint32_t kWorkDataStart = 128;   // keys follow the engine file header
constexpr uint16_t kWorkCreateMode = 0x1800;
constexpr int kNameTries = 1000;

void Opened(SortContext* c) {
  if (++c->open_files > c->stats.open_files_peak) c->stats.open_files_peak = c->open_files;
}

int CloseRunFile(SortContext* c, SortRun* r) {
  if (r->file < 0) return 0;
  const int rc = CloseFileEntry(r->file);
  r->file = -1;
  --c->open_files;
  return rc;
}

// Creates a work file that did not exist before (another sort's or a stale
// file's name is never reused: the time value moves on).
int CreateWorkFile(SortContext* c, SortRun* r, int slot, bool merge_file) {
  const int number = FindFreeFileNumbers(1);
  if (number < 0) return merge_file ? kSortMergeFile : kSortCreateRun;
  for (int tries = 0; tries < kNameTries; ++tries) {
    std::string name = SortWorkFileName(c->base_time, slot);
    if (merge_file) name.back() = 'X';
    const int rc = CreateDataFile(number, name.c_str(), 128, 0, kWorkCreateMode);
    if (rc == 19) {
      ++c->base_time;
      continue;
    }
    if (rc != 0) return merge_file ? kSortMergeFile : kSortCreateRun;
    std::memcpy(r->name, name.c_str(), name.size() + 1);
    r->file = static_cast<int16_t>(number);
    Opened(c);
    return 0;
  }
  return merge_file ? kSortMergeFile : kSortCreateRun;
}

int OpenRunFile(SortContext* c, SortRun* r) {
  const int number = FindFreeFileNumbers(1);
  if (number < 0 || OpenFileEntry(number, r->name, 0) != 0) return kSortRunOpen;
  r->file = static_cast<int16_t>(number);
  Opened(c);
  return 0;
}

// Appends bytes through the output buffer to the open file of r, whose
// next write offset is r->bytes.
int FlushOutput(SortContext* c, SortRun* r) {
  if (c->output_fill == 0) return 0;
  uint32_t position = 0;
  if (int rc = SortWorkPosition(r->bytes, static_cast<uint32_t>(c->output_fill), &position)) return rc;
  int32_t count = 0;
  const int rc = FilePositionedIo(1, FileControlOf(r->file), position, c->output, c->output_fill, &count);
  if (rc != 0 || count != c->output_fill) return kSortShortWrite;
  r->bytes += static_cast<uint32_t>(count);
  c->stats.work_bytes += static_cast<uint64_t>(count);
  c->output_fill = 0;
  return 0;
}

int PutKey(SortContext* c, SortRun* r, const uint8_t* key) {
  if (c->output_fill + c->key_length > c->block_size) {
    if (int rc = FlushOutput(c, r)) return rc;
  }
  std::memcpy(c->output + c->output_fill, key, static_cast<std::size_t>(c->key_length));
  c->output_fill += c->key_length;
  return 0;
}

// Makes the run's current key available (or marks it ended): 0 or 117.
int Fill(SortContext* c, SortRun* r) {
  if (r->next + static_cast<uint32_t>(c->key_length) <= r->filled) return 0;
  if (r->read_at >= r->bytes) {
    r->ended = true;
    return 0;
  }
  // Whole keys per read, so no key straddles two reads.
  uint32_t want = static_cast<uint32_t>(c->block_size / c->key_length * c->key_length);
  if (want > r->bytes - r->read_at) want = r->bytes - r->read_at;
  uint32_t position = 0;
  if (int rc = SortWorkPosition(r->read_at, want, &position)) return rc;
  int32_t count = 0;
  const int rc = FilePositionedIo(0, FileControlOf(r->file), position, r->buffer,
                                  static_cast<int32_t>(want), &count);
  if (rc != 0 || static_cast<uint32_t>(count) != want) return kSortShortRead;
  r->filled = want;
  r->next = 0;
  r->read_at += want;
  return 0;
}

// The run (first .. end) holding the smallest current key; on equal keys
// the later run. -1 when all ended.
int Smallest(SortContext* c, int first, int end) {
  int best = -1;
  for (int i = first; i < end; ++i) {
    const SortRun& r = c->runs[i];
    if (r.ended) continue;
    if (best < 0 || std::memcmp(r.buffer + r.next, c->runs[best].buffer + c->runs[best].next,
                                static_cast<std::size_t>(c->key_length)) <= 0)
      best = i;
  }
  return best;
}

int StartReading(SortContext* c, int first, int end) {
  for (int i = first; i < end; ++i) {
    SortRun& r = c->runs[i];
    r.buffer = c->blocks[i - first];
    r.read_at = r.filled = r.next = 0;
    r.ended = false;
    if (int rc = OpenRunFile(c, &r)) return rc;
    if (int rc = Fill(c, &r)) return rc;
  }
  return 0;
}

int DeleteRun(SortContext* c, SortRun* r) {
  int rc = CloseRunFile(c, r) != 0 ? kSortCloseRun : 0;
  if (r->name[0] != 0 && OsDeleteFile(r->name) != 0 && rc == 0) rc = kSortDeleteRun;
  r->name[0] = 0;
  return rc;
}

// Merges runs first .. run_count - 1 into one run at `first`.
int MergeTail(SortContext* c, int first) {
  const int end = c->run_count;
  c->merge = SortRun{};
  if (int rc = StartReading(c, first, end)) return rc;
  if (int rc = CreateWorkFile(c, &c->merge, first, true)) return rc;
  int32_t level = 0;
  for (int i = first; i < end; ++i) level = c->runs[i].level > level ? c->runs[i].level : level;
  for (int i; (i = Smallest(c, first, end)) >= 0;) {
    SortRun& r = c->runs[i];
    if (int rc = PutKey(c, &c->merge, r.buffer + r.next)) return rc;
    r.next += static_cast<uint32_t>(c->key_length);
    if (int rc = Fill(c, &r)) return rc;
  }
  if (int rc = FlushOutput(c, &c->merge)) return rc;
  if (CloseRunFile(c, &c->merge) != 0) return kSortCloseMerge;
  char target[sizeof c->runs[first].name];
  std::memcpy(target, c->runs[first].name, sizeof target);
  for (int i = first; i < end; ++i) {
    if (int rc = DeleteRun(c, &c->runs[i])) return rc;
  }
  // The merged run takes the name of the group's first run.
  if (OsRenameFile(c->merge.name, target) != 0) return kSortRenameMerge;
  SortRun merged = SortRun{};
  merged.bytes = c->merge.bytes;
  merged.level = level + 1;
  std::memcpy(merged.name, target, sizeof merged.name);
  c->merge = SortRun{};
  c->runs[first] = merged;
  for (int i = first + 1; i < end; ++i) c->runs[i] = SortRun{};
  c->run_count = first + 1;
  ++c->stats.merges;
  return 0;
}

}  // namespace

int SortWorkPosition(uint32_t at, uint32_t count, uint32_t* position) {
  // Summed in 64 bits: the check itself must not wrap.
  const uint64_t end = uint64_t{kWorkDataStart} + at + count;
  if (end > UINT32_MAX) return kSortShortWrite;
  *position = kWorkDataStart + at;
  return 0;
}

int SortSpill(SortContext* c) {
  if (c->in_memory == 0) return 0;
  if (c->run_count >= kSortMaxRuns) return SortFail(c, kSortCreateRun);
  SortPointers(c->pointers, c->in_memory, c->key_length);
  SortRun& r = c->runs[c->run_count];
  r = SortRun{};
  int rc = CreateWorkFile(c, &r, c->run_count, false);
  ++c->run_count;  // counted at once: a failure below still deletes its file
  for (int32_t i = 0; rc == 0 && i < c->in_memory; ++i) rc = PutKey(c, &r, c->pointers[i]);
  if (rc == 0) rc = FlushOutput(c, &r);
  if (rc == 0 && CloseRunFile(c, &r) != 0) rc = kSortCloseNewRun;
  c->output_fill = 0;
  c->in_memory = 0;
  c->block_in_use = 0;
  c->block_used = 0;
  ++c->stats.runs_written;
  // Whenever the last order - 1 runs are of one tier they become one run of
  // the next tier.
  const int group = c->order - 1;
  while (rc == 0 && c->run_count >= group) {
    const int first = c->run_count - group;
    bool same = true;
    for (int i = first; i < c->run_count; ++i) same = same && c->runs[i].level == c->runs[first].level;
    if (!same) break;
    rc = MergeTail(c, first);
  }
  if (rc != 0) {
    SortDeleteWorkFiles(c);
    return SortFail(c, rc);
  }
  return 0;
}

int SortPrepareFinal(SortContext* c) {
  const int group = c->order - 1;
  int rc = 0;
  // Merge the smallest (last) runs until order - 1 are left.
  while (rc == 0 && c->run_count > group) {
    int take = c->run_count - group + 1;
    if (take > group) take = group;
    rc = MergeTail(c, c->run_count - take);
  }
  if (rc == 0) rc = StartReading(c, 0, c->run_count);
  if (rc != 0) {
    SortDeleteWorkFiles(c);
    return SortFail(c, rc);
  }
  return 0;
}

int SortNextFromRuns(SortContext* c, uint8_t* out, bool* done) {
  const int i = Smallest(c, 0, c->run_count);
  if (i < 0) {
    *done = true;
    return 0;
  }
  SortRun& r = c->runs[i];
  std::memcpy(out, r.buffer + r.next, static_cast<std::size_t>(c->key_length));
  r.next += static_cast<uint32_t>(c->key_length);
  if (int rc = Fill(c, &r)) {
    SortDeleteWorkFiles(c);
    return SortFail(c, rc);
  }
  *done = false;
  return 0;
}

int SortDeleteWorkFiles(SortContext* c) {
  int first = 0;
  for (int i = 0; i < c->run_count; ++i) {
    const int rc = DeleteRun(c, &c->runs[i]);
    if (first == 0) first = rc;
  }
  const int rc = DeleteRun(c, &c->merge);
  if (first == 0) first = rc;
  c->run_count = 0;
  return first;
}

}  // namespace isam::maint
