#include "isam/record/write_batch.h"

#include <map>
#include <utility>

#include "isam/index/file_control_block.h"
#include "isam/index/file_header.h"
#include "isam/record/isam_record_internal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam {

using namespace isam_record;

namespace {

struct Batch {
  int depth = 0;
  std::vector<DeferredRewrite> pending;
  std::map<uint32_t, std::size_t> at;  // either form's position -> its rewrite in pending
};

// The open batches, by engine instance and data file number.
std::map<std::pair<const EngineInstance*, int>, Batch>& Batches() {
  static std::map<std::pair<const EngineInstance*, int>, Batch> batches;
  return batches;
}

Batch* Find(int file) {
  auto& all = Batches();
  auto it = all.find({CurrentInstance(), file});
  return it == all.end() ? nullptr : &it->second;
}

}  // namespace

int BeginWriteBatch(int file) {
  FileControlBlock* fcb = nullptr;
  if (DataRow(file, &fcb) == nullptr || !IsVariable(fcb)) return Fail(26, file);
  Batch& b = Batches()[{CurrentInstance(), file}];
  if (b.depth++ == 0) BeginIoStep();
  return Fail(0, file);
}

int EndWriteBatch(int file) {
  Batch* b = Find(file);
  if (b == nullptr) return Fail(26, file);
  if (--b->depth > 0) return Fail(0, file);
  const int rc = FinishPendingRewrites(file);
  Batches().erase({CurrentInstance(), file});
  EndIoStep();
  return Fail(rc, file);
}

int FinishPendingRewrites(int file) {
  Batch* b = Find(file);
  if (b == nullptr || b->pending.empty()) return 0;
  std::vector<DeferredRewrite> pending;
  pending.swap(b->pending);
  b->at.clear();
  FileControlBlock* fcb = nullptr;
  if (DataRow(file, &fcb) == nullptr) return 26;
  // Every new form reaches the disk before the first key names one.
  if (int rc = OsFlushFile(&HolderOf(fcb)->os)) {
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) DropDeferredRewrite(file, *it);
    return rc;
  }
  int first = 0;
  for (const DeferredRewrite& r : pending) {
    const int rc = FinishDeferredRewrite(file, r);
    if (first == 0) first = rc;
  }
  return first;
}

bool DefersRewrites(int file) {
  const Batch* b = Find(file);
  if (b == nullptr) return false;
  FileControlBlock* fcb = CheckFileNumber(file);
  return fcb != nullptr && !(HolderOf(fcb)->header.open_mode & kModeTransaction2);
}

namespace isam_record {

void DeferRewrite(int file, DeferredRewrite rewrite) {
  Batch* b = Find(file);
  if (b == nullptr) return;
  b->at[rewrite.old_position] = b->at[rewrite.new_position] = b->pending.size();
  b->pending.push_back(std::move(rewrite));
}

bool RewriteDeferredAt(int file, uint32_t position, DeferredRewrite* found) {
  const Batch* b = Find(file);
  if (b == nullptr || position == 0) return false;
  auto it = b->at.find(position);
  if (it == b->at.end()) return false;
  *found = b->pending[it->second];
  return true;
}

}  // namespace isam_record

}  // namespace isam
