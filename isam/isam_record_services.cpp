#include "isam/isam_record_services.h"

#include <cstring>
#include <vector>

#include "isam/engine_api.h"
#include "isam/engine_instance.h"
#include "isam/file_set.h"
#include "isam/file_control_block.h"
#include "isam/isam_record_keys.h"
#include "isam/isam_record_tables.h"
#include "isam/isam_start.h"
#include "isam/record_definition.h"
#include "isam/record_schema_store.h"
#include "isam/resource_definition.h"

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
  if (int rc = CheckIsamStartLimits(files)) return SetEngineError(rc);
  return EngineStart(index_buffers, files, sectors, data_buffers, mode, nullptr, nullptr, nullptr);
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

}  // namespace isam
