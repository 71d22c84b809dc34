#include "isam/record/record_schema_store.h"

#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/index/header_lock.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/resource_definition.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

// Definition codes that mean "this file has no schema".
bool MeansNoSchema(int rc) { return rc == 401 || rc == 408 || rc == 438; }

bool IsDataFile(const FileControlBlock* fcb) { return fcb->header.file_type != kFileTypeIndex; }

// Keys of the data file's open set whose schema segments can lie in the
// variable part: a record read only in part must not fail their key check.
void MarkPartialRecordKeys(int data_file, const FileControlBlock* fcb) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr || data_file < 0 || data_file >= static_cast<int>(t->files.size())) return;
  if (fcb->header.file_type != kFileTypeVariable) return;  // a fixed record has no variable part
  const RecordSchemaView view{fcb->record_schema.data(), fcb->record_schema.size()};
  const std::vector<int16_t> keys = t->files[static_cast<std::size_t>(data_file)].keys;
  for (int16_t k : keys) {
    IsamKeyRow& row = t->Key(k);
    if (row.def.data_file != data_file) continue;
    for (const KeySegment& seg : row.def.segments) {
      if (seg.offset < 0) break;
      if (SegmentBaseMode(seg.mode) >= 12 &&
          SchemaFieldInVariablePart(&view, static_cast<uint16_t>(seg.offset), fcb->header.record_length))
        row.partial_allowed = true;
    }
  }
}

// The stored schema itself (not the control block's copy).
int ReadStoredSchema(int file, std::vector<uint8_t>* out) {
  const int rc = GetDefinitionResource(file, kDefinitionKindSchema, out);
  if (rc != 0) return rc;
  return CheckSchemaImage(out->data(), out->size());
}

int SetIndexPadByte(FileControlBlock* fcb, uint8_t value) {
  if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  HeaderLock lock(fcb);
  if (lock.rc()) return SetEngineError(lock.rc());
  fcb->header.padding = value;
  fcb->layout.pad = value;
  return SetEngineError(WriteFileHeader(fcb));
}

}  // namespace

int PutRecordSchema(int data_file, const RecordField* fields, int count, bool creating) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (count < 0 || (fields == nullptr && count > 0)) return SetEngineError(33);
  if (!IsDataFile(fcb)) return SetEngineError(48);
  std::vector<uint8_t> image(kSchemaHeaderSize + kSchemaEntrySize * static_cast<std::size_t>(count), 0);
  image[0] = kSchemaFormat;
  image[1] = kSchemaDefaultAlignment;
  image[2] = kSchemaDefaultDelimiter;
  image[3] = kSchemaDefaultPad;
  PutLe32(image.data() + 4, static_cast<uint32_t>(image.size()));
  PutLe32(image.data() + 8, static_cast<uint32_t>(count));
  PutLe32(image.data() + 12, static_cast<uint32_t>(count));
  for (int i = 0; i < count; ++i) {
    SchemaField f;
    if (int rc = SchemaEntryFor(fields[i].type, fields[i].length, &f)) return SetEngineError(rc);
    uint8_t* e = image.data() + kSchemaHeaderSize + kSchemaEntrySize * static_cast<std::size_t>(i);
    PutLe16(e, f.size);
    e[2] = f.type;
    e[3] = 0;
  }
  return PutDefinitionResource(data_file, image.data(), static_cast<uint32_t>(image.size()), 0,
                               kDefinitionKindSchema, kDefinitionNumberData, creating);
}

int SetHeaderFlagByte(int file, int which, uint8_t value, bool creating) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (which != kFlagByteDelimiter && which != kFlagBytePad) return SetEngineError(116);
  if (IsShared(fcb) && !creating) return SetEngineError(62);
  if (!IsDataFile(fcb)) return which == kFlagBytePad ? SetIndexPadByte(fcb, value) : SetEngineError(48);
  std::vector<uint8_t> schema;
  int rc = ReadStoredSchema(file, &schema);
  if (MeansNoSchema(rc)) return SetEngineError(199);
  if (rc != 0) return SetEngineError(rc);
  schema[static_cast<std::size_t>(which)] = value;
  return PutDefinitionResource(file, schema.data(), static_cast<uint32_t>(schema.size()), 0,
                               kDefinitionKindSchema, kDefinitionNumberData, creating);
}

int LoadRecordSchema(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  fcb->record_schema.clear();
  fcb->record_schema_loaded = true;
  if (!IsDataFile(fcb) || fcb->header.first_resource == 0) return SetEngineError(0);
  std::vector<uint8_t> schema;
  const int rc = ReadStoredSchema(file, &schema);
  if (MeansNoSchema(rc)) return SetEngineError(0);
  if (rc != 0) {
    fcb->record_schema_loaded = false;  // asked again next time
    return SetEngineError(rc);
  }
  fcb->record_schema.swap(schema);
  return SetEngineError(0);
}

RecordSchemaView RecordSchemaOf(FileControlBlock* data) {
  if (data == nullptr) return {};
  if (!data->record_schema_loaded) {
    EngineInstance* inst = CurrentInstance();
    const int16_t keep = inst != nullptr ? inst->eng_err : 0;
    LoadRecordSchema(data->number);
    if (inst != nullptr) inst->eng_err = keep;
  }
  if (data->record_schema.empty()) return {};
  return {data->record_schema.data(), data->record_schema.size()};
}

void AdoptRecordSchema(int data_file, const uint8_t* schema, uint32_t length) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (fcb == nullptr || !IsDataFile(fcb)) return;
  if (CheckSchemaImage(schema, length) != 0) {
    // Not a schema the engine can read: the file has none to key by.
    fcb->record_schema.clear();
  } else {
    fcb->record_schema.assign(schema, schema + length);
  }
  fcb->record_schema_loaded = true;
  MarkPartialRecordKeys(data_file, fcb);
}

void MarkSchemaPartialKeys(int data_file) {
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (fcb == nullptr || !IsDataFile(fcb)) return;
  EngineInstance* inst = CurrentInstance();
  const int16_t keep = inst != nullptr ? inst->eng_err : 0;
  RecordSchemaOf(fcb);
  MarkPartialRecordKeys(data_file, fcb);
  if (inst != nullptr) inst->eng_err = keep;
}

}  // namespace isam
