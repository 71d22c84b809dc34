#include "isam/isam_record_services.h"

#include <cstring>
#include <vector>

#include "isam/engine_api.h"
#include "isam/engine_instance.h"
#include "isam/file_set.h"
#include "isam/isam_record_keys.h"
#include "isam/isam_start.h"
#include "isam/resource_definition.h"

namespace isam {

int BuildStoredKey(int key, const void* record, uint8_t* key_out, uint32_t position, int32_t length) {
  if (record == nullptr || key_out == nullptr || length < 0) return 0;
  const int n = BuildRecordKey(key, static_cast<const uint8_t*>(record), static_cast<std::size_t>(length),
                               position, key_out);
  if (n < 0) {
    SetIsamError(-n, key);
    return 0;
  }
  return n;
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
  if ((mode & 0xFF) != 0x02) return -SetEngineError(116);
  std::vector<uint8_t> names;
  if (GetDefinitionResource(data_file, 2, &names) != 0) return 0;
  if (buffer != nullptr && buffer_length >= static_cast<int32_t>(names.size()))
    std::memcpy(buffer, names.data(), names.size());
  return static_cast<int32_t>(names.size());
}

int32_t RecordFieldOffset(int data_file, int field, int32_t* length) {
  // No call of this build stores a record schema (kind 1), so no file has
  // one to place a field by.
  (void)data_file;
  (void)field;
  if (length) *length = 0;
  return -SetEngineError(199);
}

}  // namespace isam
