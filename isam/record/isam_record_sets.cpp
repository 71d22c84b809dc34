#include "isam/record/isam_record_sets.h"

#include <algorithm>
#include <cstring>

#include "isam/record/isam_record.h"
#include "isam/record/isam_record_internal.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/runtime/engine_instance.h"

namespace isam {

using namespace isam_record;

namespace {

// The bytes of a key that hold its value (a key with duplicates ends in the
// record position, which no set can share).
int32_t ValueLength(const IsamKeyRow& row) {
  return row.def.duplicates ? row.def.key_length - 4 : row.def.key_length;
}

void RememberSet(int key, const uint8_t* leading, int32_t n) {
  EngineInstance* inst = CurrentInstance();
  inst->isam_set_key = static_cast<int16_t>(key);
  inst->isam_set_length = static_cast<int16_t>(n);
  std::memcpy(inst->isam_set_leading, leading, static_cast<std::size_t>(n));
}

// First and last: the target's leading bytes in stored form, the rest
// filled with `fill` (0x00 lands on the set's first key, 0xFF behind its
// last), then read by `mode`.
int OpenSet(int key, const void* target, int32_t significant, uint8_t fill, char mode, void* buffer,
            int32_t* length) {
  const IsamKeyRow* row = IsamIndexRow(key);
  if (row == nullptr) return Fail(48, key);
  if (significant < 0) return Fail(634, key);
  if (target == nullptr) return Fail(33, key);
  const int32_t n = std::min(significant, ValueLength(*row));
  uint8_t value[256] = {};
  std::memcpy(value, target, static_cast<std::size_t>(n));
  uint8_t stored[256];
  if (int rc = MakeTargetKey(key, value, 0, stored)) return Fail(rc, key);
  std::memset(stored + n, fill, static_cast<std::size_t>(row->def.key_length - n));
  RememberSet(key, stored, n);
  return Fail(ReadByStoredTarget(key, stored, mode, stored, static_cast<std::size_t>(n), buffer, length), key);
}

int StepInSet(int key, char mode, void* buffer, int32_t* length) {
  EngineInstance* inst = CurrentInstance();
  if (inst->isam_set_key < 0 || inst->isam_set_key != key) return Fail(118, key);
  const IsamKeyRow* row = IsamIndexRow(key);
  if (row == nullptr) return Fail(48, key);
  if (row->current_key.empty()) return Fail(100, key);
  // Copies: the read replaces the current key, and the set is only read.
  const std::vector<uint8_t> from = row->current_key;
  uint8_t leading[256];
  const auto n = static_cast<std::size_t>(inst->isam_set_length);
  std::memcpy(leading, inst->isam_set_leading, n);
  return Fail(ReadByStoredTarget(key, from.data(), mode, leading, n, buffer, length), key);
}

}  // namespace

int FirstInSet(int key, const void* target, void* buffer, int32_t significant, int32_t* length) {
  return OpenSet(key, target, significant, 0x00, kReadAtLeast, buffer, length);
}

int LastInSet(int key, const void* target, void* buffer, int32_t significant, int32_t* length) {
  return OpenSet(key, target, significant, 0xFF, kReadAtMost, buffer, length);
}

int NextInSet(int key, void* buffer, int32_t* length) { return StepInSet(key, kReadGreater, buffer, length); }

int PreviousInSet(int key, void* buffer, int32_t* length) { return StepInSet(key, kReadLess, buffer, length); }

int ChangeSet(int key, int32_t significant) {
  const IsamKeyRow* row = IsamIndexRow(key);
  if (row == nullptr) return Fail(48, key);
  if (significant < 0) return Fail(634, key);
  if (row->current_key.empty()) return Fail(100, key);
  RememberSet(key, row->current_key.data(), std::min(significant, ValueLength(*row)));
  return Fail(0, key);
}

}  // namespace isam
