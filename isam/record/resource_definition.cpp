#include "isam/record/resource_definition.h"

#include <algorithm>
#include <cstring>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/record/record_schema_store.h"
#include "isam/record/resource_chain.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

constexpr uint32_t kEntryBase = 24;  // type, number, 8-byte name, total, stamp

uint32_t NumberFor(const FileControlBlock* fcb) {
  return fcb->header.file_type == kFileTypeIndex ? kDefinitionNumberIndex : kDefinitionNumberData;
}

int ReadDefinition(int file, uint32_t number, std::vector<uint8_t>* res) {
  uint8_t key[8];
  PutLe32(key, 0);
  PutLe32(key + 4, number);
  int32_t used = 0;
  if (ResourceRecordFind(file, key, nullptr, 0, kFindResourceByKey, &used) == 0) return CurrentInstance()->eng_err;
  res->assign(static_cast<std::size_t>(used), 0);
  if (ResourceRecordFind(file, key, res->data(), used, kFindResourceByKey) == 0) return CurrentInstance()->eng_err;
  if (res->size() < kDefinitionDirectorySize) return 407;
  return 0;
}

}  // namespace

int PutDefinitionResource(int file, const void* data, uint32_t length, uint32_t reserve, int kind,
                          uint32_t number, bool creating) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (number != NumberFor(fcb)) return SetEngineError(48);
  if (IsShared(fcb) && !creating) return SetEngineError(62);
  if (kind < 0 || kind > 31) return SetEngineError(436);
  if (reserve < length) reserve = length;
  reserve = (reserve + 7) & ~7u;
  if (reserve > 0xFFFF) return SetEngineError(434);
  std::vector<uint8_t> res;
  int rc = ReadDefinition(file, number, &res);
  const bool exists = rc == 0;
  if (!exists && rc != 408) return SetEngineError(rc);
  if (!exists) {
    res.assign(std::max<uint32_t>(reserve + kDefinitionDirectorySize, kDefinitionMinimumSize), 0);
    PutLe32(res.data(), 0);
    PutLe32(res.data() + 4, number);
    std::memcpy(res.data() + 8, "EN!DEF\0\0", 8);
  }
  uint8_t* entry = res.data() + kEntryBase + 8 * kind;
  uint32_t offset = GetLe32(entry);
  uint16_t reserved = GetLe16(entry + 4);
  if (offset == 0 || reserved < length) {
    // The first free byte behind every reserved area.
    uint32_t end = kDefinitionDirectorySize;
    for (int k = 0; k < 32; ++k) {
      const uint8_t* e = res.data() + kEntryBase + 8 * k;
      if (GetLe32(e) != 0) end = std::max(end, GetLe32(e) + GetLe16(e + 4));
    }
    offset = end;
    reserved = static_cast<uint16_t>(reserve);
    if (res.size() < offset + reserved) res.resize(offset + reserved, 0);
  }
  if (length > 0) std::memcpy(res.data() + offset, data, length);
  PutLe32(entry, offset);
  PutLe16(entry + 4, reserved);
  PutLe16(entry + 6, static_cast<uint16_t>(length));
  PutLe32(res.data() + 16, static_cast<uint32_t>(res.size()));
  PutLe32(res.data() + 20, fcb->header.write_count);
  rc = exists ? ResourceRecordUpdate(file, res.data(), static_cast<int32_t>(res.size()))
              : AddResourceEntry(file, res.data(), static_cast<int32_t>(res.size()));
  if (rc == 0 && kind == kDefinitionKindSchema && number == kDefinitionNumberData)
    AdoptRecordSchema(file, static_cast<const uint8_t*>(data), length);
  return SetEngineError(rc);
}

int GetDefinitionResource(int file, int kind, std::vector<uint8_t>* out) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (kind < 0 || kind > 31) return SetEngineError(436);
  std::vector<uint8_t> res;
  if (int rc = ReadDefinition(file, NumberFor(fcb), &res)) return SetEngineError(rc);
  const uint8_t* entry = res.data() + kEntryBase + 8 * kind;
  const uint32_t offset = GetLe32(entry);
  const uint16_t used = GetLe16(entry + 6);
  if (used == 0) return SetEngineError(438);
  if (offset + used > res.size()) return SetEngineError(407);
  out->assign(res.begin() + offset, res.begin() + offset + used);
  return SetEngineError(0);
}

}  // namespace isam
