// What the record layer keeps per file, reached from the file and
// superfile layers: the record locks and saved positions a closed or
// deleted file leaves behind, the ISAM rows of a deleted file, whether a
// transaction is open, a stored definition (an index's collating table)
// and the lock a freed record leaves. InstallRecordLayer fills the hooks;
// until then nothing is kept above the files, so forgetting does nothing,
// no transaction is open, no definition is stored (408) and no record is
// locked.
#pragma once

#include <cstdint>
#include <vector>

namespace isam {

struct FileStateHooks {
  void (*forget_file_locks)(int file);
  int (*free_saved_positions)(int data_file);
  void (*forget_isam_file)(int file);
  bool (*transaction_active)();
  // Kind n of an index file's "EN!DEF" resource: 0, or 408 / 438 / 401
  // when there is none (see record/resource_definition.h).
  int (*definition_resource)(int file, int kind, std::vector<uint8_t>* out);
  // This instance's lock on a record whose space was just freed goes.
  void (*release_record_lock)(int file, uint32_t position);
};

// Installs the hooks (a copy is kept); null members keep their fallback.
void SetFileStateHooks(const FileStateHooks& hooks);
const FileStateHooks& CurrentFileStateHooks();

}  // namespace isam
