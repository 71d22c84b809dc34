#include "isam/record/record_definition.h"

#include <cstring>
#include <string>
#include <vector>

#include "isam/index/btree_node.h"
#include "isam/index/file_control_block.h"
#include "isam/record/resource_definition.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

constexpr std::size_t kMaxNameLength = 253;  // the length byte counts itself and the zero

struct FieldName {
  bool present = false;
  std::string text;
};

// Decodes a stored name list; false when an entry runs past the list or
// its name is not terminated where its length byte says.
bool ParseFieldNames(const std::vector<uint8_t>& bytes, std::vector<FieldName>* out) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t n = bytes[at];
    if (n == 0 || at + n > bytes.size()) return false;
    FieldName name;
    if (n > 1) {
      const char* text = reinterpret_cast<const char*>(bytes.data() + at + 1);
      if (bytes[at + n - 1] != 0 || std::strlen(text) != n - 2) return false;
      name.present = true;
      name.text = text;
    }
    out->push_back(name);
    at += n;
  }
  return true;
}

// The stored name list: empty when the file has none.
int ReadFieldNames(int file, std::vector<uint8_t>* out) {
  const int rc = GetDefinitionResource(file, kDefinitionKindFieldNames, out);
  if (rc == 401 || rc == 408 || rc == 438) {
    out->clear();
    return 0;
  }
  return rc;
}

void PutDescription(uint8_t* at, const RecordFieldDescription& d) { std::memcpy(at, &d, sizeof d); }

// Mode 4: the description table and the names behind it.
int BuildFieldTable(const RecordSchemaView& schema, const std::vector<uint8_t>& name_bytes, int alignment,
                    std::vector<uint8_t>* out) {
  std::vector<FieldName> names;
  if (!ParseFieldNames(name_bytes, &names)) return kErrFileDamaged;
  const uint32_t count = SchemaFieldCount(&schema);
  const std::size_t table = (static_cast<std::size_t>(count) + 1) * sizeof(RecordFieldDescription);
  out->assign(table, 0);
  for (uint32_t i = 0; i < count; ++i) {
    RecordFieldDescription d;
    uint32_t offset = 0;
    SchemaField f;
    if (int rc = SchemaFieldOffset(&schema, i, alignment, &offset, &f)) return rc;
    d.offset = static_cast<int32_t>(offset);
    d.type = f.type;
    d.size = f.size;
    if (i < names.size() && names[i].present) {
      d.name_offset = static_cast<int32_t>(out->size());
      out->insert(out->end(), names[i].text.begin(), names[i].text.end());
      out->push_back(0);
    }
    PutDescription(out->data() + i * sizeof d, d);
  }
  PutDescription(out->data() + count * sizeof(RecordFieldDescription), RecordFieldDescription{});
  return 0;
}

int32_t Fail(int rc) { return -SetEngineError(rc); }

}  // namespace

int PutFieldNames(int data_file, const RecordField* fields, int count, bool creating) {
  if (count < 0 || (fields == nullptr && count > 0)) return SetEngineError(33);
  std::vector<uint8_t> list;
  bool any = false;
  for (int i = 0; i < count; ++i) {
    const char* name = fields[i].name;
    const std::size_t n = name != nullptr ? std::strlen(name) : 0;
    if (n > kMaxNameLength) return SetEngineError(434);
    if (n == 0) {
      list.push_back(1);
      continue;
    }
    any = true;
    list.push_back(static_cast<uint8_t>(n + 2));
    list.insert(list.end(), name, name + n + 1);
  }
  if (!any) list.clear();
  const uint8_t none = 0;
  return PutDefinitionResource(data_file, list.empty() ? &none : list.data(), static_cast<uint32_t>(list.size()), 0,
                               kDefinitionKindFieldNames, kDefinitionNumberData, creating);
}

int DefineRecordFields(int data_file, const RecordField* fields, int count, bool creating) {
  if (int rc = PutRecordSchema(data_file, fields, count, creating)) return rc;
  return PutFieldNames(data_file, fields, count, creating);
}

int32_t GetRecordDefinition(int data_file, int32_t size, void* buffer, int alignment, int mode) {
  if (mode < kRecordDefinitionSchema || mode > kRecordDefinitionTable) return Fail(116);
  FileControlBlock* fcb = CheckFileNumber(data_file);
  if (fcb == nullptr) return -CurrentInstance()->eng_err;
  if (fcb->header.file_type == kFileTypeIndex) return Fail(48);
  const RecordSchemaView schema = RecordSchemaOf(fcb);
  if (mode != kRecordDefinitionNames && !HasSchemaHeader(&schema)) return Fail(199);
  std::vector<uint8_t> names;
  if (mode != kRecordDefinitionSchema) {
    if (int rc = ReadFieldNames(data_file, &names)) return Fail(rc);
  }
  std::vector<uint8_t> out;
  switch (mode) {
    case kRecordDefinitionSchema:
      out.assign(schema.data, schema.data + schema.length);
      break;
    case kRecordDefinitionNames:
      out.swap(names);
      break;
    case kRecordDefinitionBoth:
      out.assign(schema.data, schema.data + schema.length);
      out.insert(out.end(), names.begin(), names.end());
      break;
    default:
      if (int rc = BuildFieldTable(schema, names, alignment, &out)) return Fail(rc);
      break;
  }
  if (buffer != nullptr && size >= static_cast<int32_t>(out.size()) && !out.empty())
    std::memcpy(buffer, out.data(), out.size());
  SetEngineError(0);
  return static_cast<int32_t>(out.size());
}

}  // namespace isam
