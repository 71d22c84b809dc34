#include "isam/fileset/file_set_rename.h"

#include <string>
#include <utility>
#include <vector>

#include "isam/fileset/file_set_internal.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/file_control_block.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/runtime/status_log.h"
#include "isam/superfile/superfile_delete_rename.h"

namespace isam {
namespace {

constexpr char kUndoFailedText[] = "Could not undo rename for...";

// The stored definition must describe the indexes the block describes
// (names aside): a set renamed after a definition that is not its own would
// be stored under a lie. A data file without one is no mismatch.
int CheckStoredDefinition(const IfilBlock& b, int n) {
  std::vector<uint8_t> packed;
  const int rc = GetStoredIfilBytes(n, &packed);
  if (rc == 408 || rc == 438) return 0;
  if (rc != 0) return rc;
  StoredFileSet stored;
  if (UnpackIfil(packed, &stored) != 0) return 608;
  if (stored.block.index_count != b.index_count) return 608;
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& mine = b.indexes[i];
    const IndexDefinition& kept = stored.indexes[static_cast<std::size_t>(i)];
    if (kept.key_length != mine.key_length || (kept.duplicates != 0) != (mine.duplicates != 0)) return 608;
    // Behind the first, a name of its own starts another index file.
    if (i > 0 && (kept.file_name == nullptr) != (mine.file_name == nullptr)) return 608;
  }
  return 0;
}

// Puts every file renamed so far back under its old name, last first.
void UndoRenames(const std::vector<std::pair<int, std::string>>& done) {
  for (auto it = done.rbegin(); it != done.rend(); ++it) {
    if (RenameEngineFile(it->first, it->second.c_str()) == 0) continue;
    const FileControlBlock* fcb = CheckFileNumber(it->first);
    const std::string text = std::string(kUndoFailedText) + " " + (fcb ? fcb->name : it->second.c_str());
    WriteStatusLog(text.c_str(), 0);
  }
}

}  // namespace

int RenameFileSet(IfilBlock* b) {
  if (b == nullptr || b->name == nullptr) return SetIsamError(33, 0);
  if (b->index_count < 0 || b->index_count > kMaxFileSetIndexes) return SetIsamError(107, 0);
  if (b->index_count > 0 && b->indexes == nullptr) return SetIsamError(33, 0);
  const int n = b->assigned;
  const FileControlBlock* data = n < 0 ? nullptr : CheckFileNumber(n);
  if (data == nullptr) return SetIsamError(26, n < 0 ? 0 : n);
  // Checked here too: a set whose names stay the same renames nothing, and
  // its definition must not change under other openers either.
  if (data->header.open_mode & (kModeShared | kModeReadOnly)) return SetIsamError(62, n);
  // Only the set's own numbers are renamed: the block must have as many
  // indexes as the set was opened with, or a number behind them that
  // belongs to another file would be taken for one of its index files.
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || t->File(n).keys.size() != static_cast<std::size_t>(b->index_count))
    return SetIsamError(608, n);
  const std::vector<IndexFileGroup> groups = GroupIndexFiles(*b);
  for (const IndexFileGroup& g : groups) {
    int file = 0;
    if (int rc = CheckIndexFileMatches(*b, g, n + 1 + g.first_index, &file)) return SetIsamError(rc, file);
  }
  if (int rc = CheckStoredDefinition(*b, n)) return SetIsamError(rc, n);

  const FileSetNames names = ResolveFileSetNames(*b);
  std::vector<std::pair<int, const std::string*>> plan{{n, &names.data}};
  for (std::size_t g = 0; g < groups.size(); ++g)
    plan.emplace_back(n + 1 + groups[g].first_index, &names.index_files[g]);
  std::vector<std::pair<int, std::string>> done;  // number, old name
  for (const auto& step : plan) {
    FileControlBlock* fcb = CheckFileNumber(step.first);
    if (fcb == nullptr) {
      UndoRenames(done);
      return SetIsamError(26, step.first);
    }
    const std::string old_name = fcb->name;
    if (CompareFileNames(old_name.c_str(), step.second->c_str()) == 0) continue;
    if (int rc = RenameEngineFile(step.first, step.second->c_str())) {
      UndoRenames(done);
      return SetIsamError(rc, step.first);
    }
    done.emplace_back(step.first, old_name);
  }
  if (int rc = WriteIfilResource(*b, n)) {
    UndoRenames(done);
    return SetIsamError(rc, n);
  }
  return SetIsamError(0, n);
}

}  // namespace isam
