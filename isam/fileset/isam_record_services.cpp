#include "isam/fileset/isam_record_services.h"

#include <cstring>
#include <new>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/isam_start.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_header.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_definition.h"
#include "isam/record/record_schema_store.h"
#include "isam/record/resource_definition.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/runtime_utils.h"

namespace isam {

int BuildStoredKey(int key, const void* record, uint8_t* key_out, uint32_t position, int32_t length) {
  if (BuildKeyOfRecord(key, record, key_out, length) <= 0) return 0;
  if (TransformTargetKey(key, key_out, position, true) != 0) return 0;
  return IsamKeyLength(key);
}

int WriteIfilResource(const IfilBlock& block, int data_file) {
  const std::vector<uint8_t> packed = PackIfil(block);
  return PutDefinitionResource(data_file, packed.data(), static_cast<uint32_t>(packed.size()), 0, 0,
                               kDefinitionNumberData, true);
}

int CloseFileSetEntry(IfilBlock* block) { return CloseFileSet(block); }

int IsamInit(int16_t index_buffers, int16_t files, int16_t sectors, int16_t data_buffers, int16_t mode) {
  InstallIsamLayer();
  // A second start on a thread that runs the engine already is refused
  // before any registration is tried.
  if (EngineInstance* inst = CurrentInstance(); inst != nullptr && inst->started) return SetEngineError(125);
  if (int rc = CheckIsamStartLimits(files)) return SetEngineError(rc);
  return StartEngine(index_buffers, files, sectors, data_buffers, mode, nullptr, nullptr, nullptr);
}

int32_t GetIfilDefinition(int data_file, int32_t buffer_length, void* buffer, int mode) {
  const int32_t n = GetRecordDefinition(data_file, buffer_length, buffer, -1, mode & 0xFF);
  return n == -199 ? 0 : n;  // no schema: no names either
}

int32_t RecordFieldOffset(int data_file, int field, int32_t* length) {
  if (length) *length = 0;
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (fcb == nullptr) return -CurrentInstance()->eng_err;
  if (fcb->header.file_type == kFileTypeIndex) return -SetEngineError(48);
  const RecordSchemaView schema = RecordSchemaOf(fcb);
  if (field < 0) return -SetEngineError(HasSchemaHeader(&schema) ? 433 : 199);
  uint32_t offset = 0;
  SchemaField f;
  if (int rc = SchemaFieldOffset(&schema, static_cast<uint32_t>(field), -1, &offset, &f)) return -SetEngineError(rc);
  if (length) *length = f.size;
  SetEngineError(0);
  return static_cast<int32_t>(offset);
}

int KeyToValueForm(int key, uint8_t* stored) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || key < 0 || key >= static_cast<int>(t->keys.size()) ||
      t->keys[static_cast<std::size_t>(key)].def.data_file < 0)
    return SetIsamError(80, key);
  if (stored == nullptr) return SetEngineError(33);
  const KeyDefinition& def = t->keys[static_cast<std::size_t>(key)].def;
  const RecordSchemaView schema = RecordSchemaOf(CheckFileNumber(def.data_file));
  return SetEngineError(KeyToValueForm(def, &schema, stored));
}

int FilePositionedIo(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, int32_t length,
                     int32_t* count) {
  if (fcb == nullptr) return SetEngineError(33);
  return FilePositionedIo(mode, &HolderOf(fcb)->os, position, buffer, length, count);
}

uint32_t GetOsFileSize(FileControlBlock* fcb) { return fcb ? GetOsFileSize(&HolderOf(fcb)->os) : 0; }

int PutIndexTable(int key, const uint16_t* table, bool creating) {
  FileControlBlock* member = CheckFileNumber(key);
  if (member == nullptr) return CurrentInstance()->eng_err;
  if (member->header.file_type != kFileTypeIndex) return SetEngineError(48);
  if (table == nullptr) return SetEngineError(33);
  uint8_t bytes[512];
  for (int c = 0; c < 256; ++c) PutLe16(bytes + 2 * c, table[c]);
  // The table lives with the index file's definitions, one kind per member.
  const int index_file = HolderOf(member)->number;
  if (int rc = PutDefinitionResource(index_file, bytes, sizeof bytes, 0, member->header.member_number,
                                     kDefinitionNumberIndex, creating))
    return SetEngineError(rc);
  if (member->collation == nullptr) {
    member->collation = new (std::nothrow) uint16_t[256];
    if (member->collation == nullptr) return SetEngineError(603);
  }
  std::memcpy(member->collation, table, 256 * sizeof(uint16_t));
  return SetEngineError(0);
}

int InitIndexControl(FileControlBlock* index) {
  if (index == nullptr) return SetEngineError(33);
  FileHeader h = index->header;
  if (h.file_type != kFileTypeIndex) return SetEngineError(48);
  if (h.key_length == 0 || h.key_length >= 256) return SetEngineError(45);
  if (h.key_type & 0x3) return SetEngineError(52);
  if (h.duplicates != 0 && h.key_length <= 4) return SetEngineError(45);
  ComputeNodeGeometry(&h);
  if (CheckIndexGeometry(h) != 0) return SetEngineError(20);
  index->header = h;
  index->layout = LayoutOfIndex(h);
  return SetEngineError(0);
}

int FreeIsamTables(int count) {
  (void)count;
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return 129;
  FreeIsamTables(inst);
  return SetEngineError(0);
}

int32_t GetStoredIfil(int data_file, int32_t buffer_size, StoredFileSet* out) {
  std::vector<uint8_t> packed;
  if (int rc = GetStoredIfilBytes(data_file, &packed)) return -SetEngineError(rc);
  const auto needed = static_cast<int32_t>(packed.size());
  if (out != nullptr && buffer_size >= needed) {
    if (int rc = UnpackIfil(packed, out)) return -SetEngineError(rc);
  }
  SetEngineError(0);
  return needed;
}

}  // namespace isam
