// Added indexes: the stored definition extended, the set rebuilt with it.
#include "isam/maint/rebuild/add_index_members.h"

#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_internal.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_open.h"
#include "isam/maint/rebuild/rebuild_file_set.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam::maint {
namespace {

constexpr int16_t kStoreDefinition = -99;

// The definition stored in the data file, read only: a data file a failed
// rebuild left marked is read as it is (the rebuild that follows loads
// every index) and keeps its mark.
int ReadStored(const IfilBlock& b, const std::string& data_name, StoredFileSet* stored) {
  const int n = FindFreeFileNumbers(1);
  if (n < 0) return -n;
  EngineInstance* inst = CurrentInstance();
  const bool rebuild_mode = inst->rebuild_mode;
  inst->rebuild_mode = true;
  const int opened =
      OpenFileEntry(n, data_name.c_str(), static_cast<uint16_t>((b.data_mode & ~kModeShared) | kModeReadOnly));
  inst->rebuild_mode = rebuild_mode;
  if (opened != 0) return opened;
  const int32_t size = GetStoredIfil(n, 0, nullptr);
  int rc = size < 0 ? -size : 0;
  if (rc == 0 && GetStoredIfil(n, size, stored) < 0) rc = CurrentInstance()->eng_err;
  CloseFileEntry(n);
  return rc;
}

}  // namespace

int AddIndexMembers(IfilBlock* b) {
  if (b == nullptr) return CurrentInstance() != nullptr ? SetIsamError(540, 0) : 540;
  if (CurrentInstance() == nullptr) return 33;
  const FileSetNames before = ResolveFileSetNames(*b);
  StoredFileSet stored;
  if (const int rc = ReadStored(*b, before.data, &stored)) return SetIsamError(rc, 0);
  const int old_count = stored.block.index_count;
  if (b->index_count < 0 || old_count + b->index_count > kMaxFileSetIndexes) return SetIsamError(107, 0);
  std::vector<IndexDefinition> all(stored.indexes.begin(), stored.indexes.begin() + old_count);
  for (int i = 0; i < b->index_count; ++i) all.push_back(b->indexes[i]);
  IfilBlock combined = *b;
  combined.index_count = static_cast<int16_t>(all.size());
  combined.indexes = all.data();
  combined.index_extension = stored.block.index_extension;
  combined.index_mode = stored.block.index_mode;
  combined.text1 = stored.block.text1;
  combined.text2 = stored.block.text2;
  combined.data_file = kStoreDefinition;
  // The index files that exist only because of this call.
  IfilBlock old_block = combined;
  old_block.index_count = static_cast<int16_t>(old_count);
  const FileSetNames old_names = ResolveFileSetNames(old_block);
  const FileSetNames new_names = ResolveFileSetNames(combined);
  const int rc = RebuildFileSet(&combined);
  if (rc != 0) {
    for (std::size_t f = old_names.index_files.size(); f < new_names.index_files.size(); ++f)
      OsDeleteFile(new_names.index_files[f].c_str());
  }
  return rc;
}

}  // namespace isam::maint
