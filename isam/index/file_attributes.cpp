// Attribute reads and header changes of open files.
#include "isam/index/file_attributes.h"

#include <cstring>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_header.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/runtime_utils.h"

namespace isam {

namespace {

constexpr int kEngNotAllowedShared = 62;
constexpr int kEngNotAnIndex = 48;

bool SharedOrReadOnly(const FileControlBlock* fcb) {
  return (fcb->header.open_mode & (kModeShared | kModeReadOnly)) != 0;
}

// The error CheckFileNumber left.
int LastError() {
  EngineInstance* inst = CurrentInstance();
  return inst != nullptr ? static_cast<int>(inst->eng_err) : static_cast<int>(kEngNoInstance);
}

int FnSetFileMode(EngineCall* c) { return SetFileMode(c->file, static_cast<uint16_t>(c->extra)); }
int FnGetCurrentKey(EngineCall* c) { return GetCurrentKey(c->file, c->block); }

}  // namespace

int32_t GetFileAttribute(int16_t file, int code) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return -1;
  const FileHeader& h = fcb->header;
  SetEngineError(kEngOk);
  switch (code) {
    case 0: return h.record_length;
    case 1: return h.key_length;
    case 2: return h.file_type;
    case 3: return h.open_mode;
    case 4: return 0;  // file-set table entry: none yet
    case 5: return h.key_type;
    case 6: return h.duplicates;
    case 10: return static_cast<int32_t>(h.logical_end + 1);
    case 11: return static_cast<int32_t>(h.physical_end + 1);
    case 12: return h.node_size;
    case 13: return h.member_number;
    case 14: return h.padding;
    case 15: return 0;   // definition data byte 2: no definition data yet
    case 16: return 32;  // definition data byte 3
    case 18: return 0;
    case 20: return h.slash;
    case 21: return h.platform8 != 0 ? h.platform8 : 8;
    case 22: return h.extension_size;
    case 23: return h.file_class;
    case 24: return h.superfile_member;
    case 25: return h.rebuild_status;
    default:
      SetEngineError(kEngBadArgument);
      return -1;
  }
}

int GetFileName(int16_t file, char* buffer, int size, int kind) {
  if (buffer == nullptr) return SetEngineError(kEngNullBuffer);
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return LastError();
  const char* name = nullptr;
  if (kind == 0) {
    name = fcb->name;
  } else if (kind >= 1 && kind <= 3) {
    name = "";
  } else {
    return SetEngineError(kEngBadArgument);
  }
  if (static_cast<int>(std::strlen(name)) >= size) return SetEngineError(kEngNameTooLong);
  CopyBoundedString(buffer, name, size);
  return SetEngineError(kEngOk);
}

int AlterFileDefinition(int16_t file, int code, int32_t* value) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return LastError();
  if (value == nullptr) return SetEngineError(kEngNullBuffer);
  if (code < 32 && SharedOrReadOnly(fcb)) return SetEngineError(kEngNotAllowedShared);
  FileHeader& h = fcb->header;
  const int32_t v = *value;
  int32_t old = 0;
  switch (code) {
    case 1: old = static_cast<int32_t>(h.serial_counter); h.serial_counter = static_cast<uint32_t>(v); break;
    case 2: old = static_cast<int32_t>(h.close_time); h.close_time = static_cast<uint32_t>(v); break;
    case 3: old = static_cast<int32_t>(h.active_count); h.active_count = static_cast<uint32_t>(v); break;
    case 4: old = static_cast<int32_t>(h.reserved88); h.reserved88 = static_cast<uint32_t>(v); break;
    case 5: old = static_cast<int32_t>(h.logical_end + 1); h.logical_end = static_cast<uint32_t>(v) - 1; break;
    case 6: old = static_cast<int32_t>(h.physical_end + 1); h.physical_end = static_cast<uint32_t>(v) - 1; break;
    case 7: old = static_cast<int32_t>(h.delete_stack); h.delete_stack = static_cast<uint32_t>(v); break;
    case 17: old = h.platform8; h.platform8 = static_cast<uint8_t>(v); break;
    case 18: old = h.platform2; h.platform2 = static_cast<uint8_t>(v); break;
    case 19: old = h.status_word; h.status_word = static_cast<uint16_t>(v); break;
    case 20: old = h.status_word; h.status_word = static_cast<uint16_t>(h.status_word | v); break;
    case 21: old = h.status_word; h.status_word = static_cast<uint16_t>(h.status_word & ~v); break;
    case 22: {
      old = h.extension_size;
      int32_t size = v;
      if (h.file_class == kClassSuperHost) {
        size = v < 0 ? -v : 32768;
      } else if (h.file_type == kFileTypeIndex && h.member_number > 0) {
        // A member grows with its host index: it keeps no size of its own.
        size = -1;
      } else if ((h.kept_mode & kModeTransaction2) || (h.status_word & 0x1)) {
        size = ChooseExtensionSize(v, h.file_type == kFileTypeIndex ? h.node_size : h.record_length);
      }
      h.extension_size = static_cast<uint16_t>(size);
      break;
    }
    case 33:
      if (h.file_type == kFileTypeIndex) return SetEngineError(kEngNotAnIndex);
      old = fcb->updates_blocked ? 1 : 0;
      fcb->updates_blocked = v != 0;
      *value = old;
      return SetEngineError(kEngOk);
    default:
      return SetEngineError(kEngBadArgument);
  }
  *value = old;
  if (!(h.open_mode & kModeTransaction2)) {
    int rc = WriteFileHeader(fcb);
    if (rc != 0) return SetEngineError(rc);
  }
  return SetEngineError(kEngOk);
}

int SetFileMode(int16_t file, uint16_t mode) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return LastError();
  if (SharedOrReadOnly(fcb)) return SetEngineError(kEngNotAllowedShared);
  const bool variable = fcb->header.file_type == kFileTypeVariable;
  if (((mode & kModeVariable) != 0) != variable) return SetEngineError(kEngNotAnIndex);
  for (FileControlBlock* f = fcb; f != nullptr; f = f->next_member) {
    f->header.open_mode = mode;
    f->header.kept_mode = static_cast<uint16_t>(mode & kKeptModeMask);
    int rc = WriteFileHeader(f);
    if (rc != 0) return SetEngineError(rc);
    if (f->next_member == fcb) break;
  }
  return SetEngineError(kEngOk);
}

int GetCurrentKey(int16_t file, void* buffer) {
  if (buffer == nullptr) return SetEngineError(kEngNullBuffer);
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return LastError();
  if (fcb->header.file_type != kFileTypeIndex) return SetEngineError(kEngNotAnIndex);
  size_t n = fcb->header.key_length;
  if (n > sizeof fcb->current_key) n = sizeof fcb->current_key;
  if (fcb->current_node != 0) {
    std::memcpy(buffer, fcb->current_key, n);
  } else {
    std::memset(buffer, 0, n);
  }
  return SetEngineError(kEngOk);
}

void InstallFileAttributeFunctions() {
  InstallEngineFunction(kFnSetFileMode, FnSetFileMode);
  InstallEngineFunction(kFnGetCurrentKey, FnGetCurrentKey);
}

}  // namespace isam
