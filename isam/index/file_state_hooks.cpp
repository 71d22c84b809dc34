#include "isam/index/file_state_hooks.h"

namespace isam {
namespace {

void NoLocks(int) {}
int NoSavedPositions(int) { return 0; }
void NoIsamRows(int) {}
bool NoTransaction() { return false; }
int NoDefinition(int, int, std::vector<uint8_t>*) { return 408; }
void NoRecordLock(int, uint32_t) {}

FileStateHooks g_hooks = {NoLocks, NoSavedPositions, NoIsamRows, NoTransaction, NoDefinition, NoRecordLock};

}  // namespace

void SetFileStateHooks(const FileStateHooks& hooks) {
  if (hooks.forget_file_locks) g_hooks.forget_file_locks = hooks.forget_file_locks;
  if (hooks.free_saved_positions) g_hooks.free_saved_positions = hooks.free_saved_positions;
  if (hooks.forget_isam_file) g_hooks.forget_isam_file = hooks.forget_isam_file;
  if (hooks.transaction_active) g_hooks.transaction_active = hooks.transaction_active;
  if (hooks.definition_resource) g_hooks.definition_resource = hooks.definition_resource;
  if (hooks.release_record_lock) g_hooks.release_record_lock = hooks.release_record_lock;
}

const FileStateHooks& CurrentFileStateHooks() { return g_hooks; }

}  // namespace isam
