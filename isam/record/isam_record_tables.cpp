#include "isam/record/isam_record_tables.h"

#include <new>

#include "isam/runtime/engine_instance.h"

namespace isam {

IsamFileRow& IsamTables::File(int n) {
  if (n >= static_cast<int>(files.size())) files.resize(static_cast<std::size_t>(n) + 1);
  return files[static_cast<std::size_t>(n)];
}

IsamKeyRow& IsamTables::Key(int n) {
  if (n >= static_cast<int>(keys.size())) keys.resize(static_cast<std::size_t>(n) + 1);
  return keys[static_cast<std::size_t>(n)];
}

IsamTables* CurrentIsamTables() {
  EngineInstance* inst = CurrentInstance();
  return inst ? static_cast<IsamTables*>(inst->isam_tables) : nullptr;
}

int CreateIsamTables(EngineInstance* inst) {
  if (inst->isam_tables != nullptr) return 0;
  auto* t = new (std::nothrow) IsamTables;
  if (t == nullptr) return 83;
  t->files.reserve(static_cast<std::size_t>(inst->file_count) + 3);
  t->keys.reserve(static_cast<std::size_t>(inst->file_count) + 3);
  inst->isam_tables = t;
  return 0;
}

void FreeIsamTables(EngineInstance* inst) {
  delete static_cast<IsamTables*>(inst->isam_tables);
  inst->isam_tables = nullptr;
}

void ForgetIsamFile(int file) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || file < 0) return;
  if (file < static_cast<int>(t->files.size())) t->files[static_cast<std::size_t>(file)] = IsamFileRow{};
  if (file < static_cast<int>(t->keys.size())) t->keys[static_cast<std::size_t>(file)] = IsamKeyRow{};
}

}  // namespace isam
