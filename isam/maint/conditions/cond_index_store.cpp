// Reading and writing "EN!CIDX" and keeping a data file's set in step.
#include "isam/maint/conditions/cond_index_store.h"

#include <cstring>
#include <string>
#include <vector>

#include "isam/fileset/isam_record_services.h"
#include "isam/index/btree_node.h"
#include "isam/index/file_control_block.h"
#include "isam/maint/conditions/cond_index_image.h"
#include "isam/maint/conditions/cond_index_set.h"
#include "isam/maint/conditions/cond_rekey.h"
#include "isam/maint/expr/expr_compile.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_schema_store.h"
#include "isam/record/resource_chain.h"
#include "isam/runtime/engine_instance.h"

namespace isam::maint {
namespace {

constexpr uint16_t kConditionBits = 0x30;
constexpr uint16_t kSetCondition = 0x10;

void PutKey(uint8_t* key) {
  std::memset(key, 0, 8);
  key[4] = kCondResourceNumber;
}

bool NoResource(int code) { return code == 401 || code == 408 || code == 438; }

// The resource's whole data length (prefix included), 0 with eng_err when
// it cannot be had.
int32_t ProbeLength(int data_file) {
  uint8_t key[8];
  PutKey(key);
  uint8_t described[12] = {};
  if (ResourceRecordFind(data_file, key, described, sizeof described, kFindResourceByKey | kFindResourceDescribe) == 0)
    return 0;
  return static_cast<int32_t>(described[8] | described[9] << 8 | described[10] << 16 |
                              static_cast<uint32_t>(described[11]) << 24);
}

// The body (empty with eng_err when absent or unreadable).
std::vector<uint8_t> ReadBody(int data_file) {
  std::vector<uint8_t> body;
  const int32_t whole = ProbeLength(data_file);
  if (whole <= 0) return body;
  if (whole < static_cast<int32_t>(kCondPrefixSize)) {
    SetEngineError(kCondDamaged);
    return body;
  }
  std::vector<uint8_t> data(static_cast<std::size_t>(whole));
  uint8_t key[8];
  PutKey(key);
  if (ResourceRecordFind(data_file, key, data.data(), whole, kFindResourceByKey) == 0) return body;
  body.assign(data.begin() + kCondPrefixSize, data.end());
  SetEngineError(0);
  return body;
}

// The field-name list of the file (empty when it has none; eng_err set on
// a read failure).
std::vector<uint8_t> FieldNames(int data_file) {
  std::vector<uint8_t> names;
  const int32_t n = GetIfilDefinition(data_file, 0, nullptr, 0x102);
  if (n <= 0) return names;
  names.resize(static_cast<std::size_t>(n));
  if (GetIfilDefinition(data_file, n, names.data(), 0x102) != n) names.clear();
  return names;
}

int Report(int code, int file) { return SetIsamError(code, file); }

}  // namespace

int ExprCompileForFile(int data_file, const char* text, ExprNode** out) {
  if (out != nullptr) *out = nullptr;
  FileControlBlock* fcb = FileControlOf(data_file);
  if (fcb == nullptr) return 0;
  const RecordSchemaView schema = RecordSchemaOf(fcb);
  const std::vector<uint8_t> names = FieldNames(data_file);
  if (!HasSchemaHeader(&schema) || names.empty()) {
    SetEngineError(kCondNoDefinition);
    return 0;
  }
  int code = 0;
  const std::size_t length = text ? std::strlen(text) + 1 : 0;
  ExprNode* tree = ExprCompile(&schema, ExprFieldNames{names.data(), names.size()}, text, length, &code);
  if (tree == nullptr) {
    SetEngineError(kCondBadText);
    return 0;
  }
  if (out != nullptr) {
    *out = tree;
  } else {
    ExprFreeTree(tree);
  }
  SetEngineError(0);
  return 1;
}

int32_t CondIndexGetImage(int data_file, int32_t buffer_length, void* buffer) {
  const int32_t whole = ProbeLength(data_file);
  if (whole <= 0) {
    const int code = CurrentInstance() ? CurrentInstance()->eng_err : 408;
    Report(code != 0 ? code : 408, data_file);
    return 0;
  }
  const int32_t body = whole - static_cast<int32_t>(kCondPrefixSize);
  if (body < 0) {
    Report(kCondDamaged, data_file);
    return 0;
  }
  if (buffer == nullptr || buffer_length < body) return body;
  const std::vector<uint8_t> bytes = ReadBody(data_file);
  if (bytes.size() != static_cast<std::size_t>(body)) {
    Report(CurrentInstance()->eng_err ? CurrentInstance()->eng_err : kCondDamaged, data_file);
    return 0;
  }
  std::memcpy(buffer, bytes.data(), bytes.size());
  return body;
}

CondIndexSet* CondIndexLoad(int16_t data_file) {
  FileControlBlock* fcb = FileControlOf(data_file);
  if (fcb == nullptr) return nullptr;
  const std::vector<uint8_t> body = ReadBody(data_file);
  if (body.empty()) return nullptr;  // eng_err tells absence (401 / 408 / 438) from failure
  CondImage image;
  if (!ParseCondImage(body.data(), body.size(), &image)) {
    SetEngineError(kCondDamaged);
    return nullptr;
  }
  if (image.entries.empty()) {
    SetEngineError(0);
    return nullptr;
  }
  const std::vector<uint8_t> names = FieldNames(data_file);
  const RecordSchemaView schema = RecordSchemaOf(fcb);
  return CondIndexCompile(body.data(), body.size(), &schema, ExprFieldNames{names.data(), names.size()});
}

int32_t CondIndexGetText(int index, int32_t buffer_length, char* buffer) {
  const IsamKeyRow* row = IsamIndexRow(index);
  if (row == nullptr) return Report(kCondNotIsamIndex, index), 0;
  const int data_file = row->def.data_file;
  const uint16_t key = static_cast<uint16_t>(index - data_file);
  const std::vector<uint8_t> body = ReadBody(data_file);
  const int code = CurrentInstance()->eng_err;
  if (body.empty()) {
    if (NoResource(code)) Report(0, index);
    return 0;
  }
  CondImage image;
  if (!ParseCondImage(body.data(), body.size(), &image)) return Report(kCondDamaged, index), 0;
  for (int i = 0; i < image.conditions; ++i) {
    const CondImageEntry& e = image.entries[static_cast<std::size_t>(i)];
    if (e.key != key) continue;
    if (buffer != nullptr && buffer_length >= e.text_length && e.text_length > 0) {
      std::memcpy(buffer, body.data() + e.text_at, e.text_length);
      buffer[e.text_length - 1] = 0;
    }
    Report(0, index);
    return e.text_length;
  }
  Report(0, index);
  return 0;
}

int CondIndexStore(int data_file, const void* body, int32_t length) {
  FileControlBlock* fcb = FileControlOf(data_file);
  if (fcb == nullptr) return Report(CurrentInstance() ? CurrentInstance()->eng_err : 26, data_file);
  if (fcb->header.file_type == kFileTypeIndex) return Report(48, data_file);
  if (fcb->header.open_mode & (kModeShared | kModeReadOnly)) return Report(62, data_file);
  Report(0, data_file);
  const bool exists = ProbeLength(data_file) > 0;
  if (!exists && !NoResource(CurrentInstance()->eng_err)) return Report(CurrentInstance()->eng_err, data_file);
  const uint8_t* bytes = static_cast<const uint8_t*>(body);
  if (bytes != nullptr && length < 4) return Report(kCondShortImage, data_file);
  const bool empty = bytes == nullptr || (bytes[0] | bytes[1] | bytes[2] | bytes[3]) == 0;
  if (empty) {
    if (exists) {
      uint8_t key[8];
      PutKey(key);
      if (int rc = DeleteResource(data_file, key)) return Report(rc, data_file);
    }
    CondIndexFree(fcb->cond_index);
    fcb->cond_index = nullptr;
    return Report(0, data_file);
  }
  CondImage image;
  if (!ParseCondImage(bytes, static_cast<std::size_t>(length), &image)) return Report(kCondShortImage, data_file);
  // Compiled before anything is written: a stored text that does not
  // compile would fail every later open of the file.
  const std::vector<uint8_t> names = FieldNames(data_file);
  const RecordSchemaView schema = RecordSchemaOf(fcb);
  CondIndexSet* fresh = CondIndexCompile(bytes, static_cast<std::size_t>(length), &schema,
                                         ExprFieldNames{names.data(), names.size()});
  if (fresh == nullptr && CurrentInstance()->eng_err != 0) return Report(CurrentInstance()->eng_err, data_file);
  std::vector<uint8_t> block(kCondPrefixSize + static_cast<std::size_t>(length), 0);
  block[4] = kCondResourceNumber;
  std::memcpy(block.data() + 8, kCondResourceName, sizeof kCondResourceName);
  std::memcpy(block.data() + kCondPrefixSize, bytes, static_cast<std::size_t>(length));
  const int32_t whole = static_cast<int32_t>(block.size());
  const int rc = exists ? ResourceRecordUpdate(data_file, block.data(), whole)
                        : AddResourceEntry(data_file, block.data(), whole);
  if (rc != 0) {
    CondIndexFree(fresh);
    return Report(rc, data_file);
  }
  CondIndexFree(fcb->cond_index);
  fcb->cond_index = fresh;
  return Report(0, data_file);
}

int CondIndexSetText(int index, const char* text) {
  IsamTables* tables = CurrentIsamTables();
  const IsamKeyRow* row = IsamIndexRow(index);
  if (row == nullptr || tables == nullptr) return Report(kCondNotIsamIndex, index);
  const int data_file = row->def.data_file;
  const uint16_t key = static_cast<uint16_t>(index - data_file);
  FileControlBlock* data = FileControlOf(data_file);
  FileControlBlock* own_index = FileControlOf(index);
  if (data == nullptr || own_index == nullptr) return Report(CurrentInstance()->eng_err, index);
  uint16_t& flags = tables->Key(index).def.flags;
  // Every condition set here lives in the data file, which only this
  // process may hold while the index is re-keyed.
  if (data->header.open_mode & (kModeShared | kModeReadOnly)) return Report(62, index);
  const bool removal = text == nullptr || *text == 0;
  // A stored text carries its length (with the zero) in 16 bits.
  if (!removal && std::strlen(text) >= 0xFFFF) return Report(kCondBadText, index);
  if (!removal && !ExprCompileForFile(data_file, text, nullptr)) return Report(kCondBadText, index);

  const std::vector<uint8_t> body = ReadBody(data_file);
  std::vector<uint8_t> next;
  CondEntryText entry;
  entry.key = key;
  entry.text = removal ? std::string() : std::string(text);
  entry.text_length = static_cast<uint16_t>(entry.text.size() + 1);
  if (body.empty()) {
    const int code = CurrentInstance()->eng_err;
    if (!NoResource(code)) return Report(code, index);
    if (removal) return Report(0, index);
    next = BuildCondImage(1, {entry});
  } else {
    CondImage image;
    if (!ParseCondImage(body.data(), body.size(), &image)) return Report(kCondDamaged, index);
    std::vector<CondEntryText> list = CondImageTexts(body.data(), image);
    int match = -1;
    for (int i = 0; i < image.conditions && match < 0; ++i) {
      if (list[static_cast<std::size_t>(i)].key == key) match = i;
    }
    uint16_t conditions = image.conditions;
    std::size_t keep_size = 0;
    if (match < 0) {
      if (removal) return Report(0, index);
      list.insert(list.begin() + conditions, entry);
      ++conditions;
    } else if (!removal) {
      CondEntryText& old = list[static_cast<std::size_t>(match)];
      if (entry.text_length <= old.text_length) {
        entry.text_length = old.text_length;  // rewritten in place: the old room is kept
        keep_size = body.size();
      }
      old = entry;
    } else if (list.size() == 1) {
      next.clear();  // the only entry of all: the resource goes
    } else {
      list.erase(list.begin() + match);
      --conditions;
      keep_size = body.size();
    }
    if (!(removal && match >= 0 && image.entries.size() == 1)) next = BuildCondImage(conditions, list, keep_size);
  }
  // Marked before the new condition is stored: from then on the index is
  // out of line with it until the re-key below ends.
  if (int rc = MarkRekeyPending(data_file)) return Report(rc, index);
  if (int rc = CondIndexStore(data_file, next.empty() ? nullptr : next.data(), static_cast<int32_t>(next.size())))
    return Report(rc, index);
  flags = static_cast<uint16_t>(removal ? flags & ~kConditionBits : flags | kSetCondition);
  return Report(RekeyIndex(index), index);
}

}  // namespace isam::maint
