#include "isam/calendar_file_set.h"

#include <map>
#include <string>

#include "isam/runtime/runtime_utils.h"
#include "isam/index/varlen_record.h"
#include "platform/os_file.h"

namespace isam {
namespace {

// A calendar record's own shape: kind 0 (an event) or 1 (a tombstone), a
// 1, sequence and serial, then the UID's text.
bool LooksLikeEventRecord(const uint8_t* data, uint32_t used) {
  if (used <= 14 || data[0] > 1 || data[1] != 1) return false;
  return data[14] != 0;
}

}  // namespace

int ReadSoundCalendarRecords(const std::string& path, std::vector<std::vector<uint8_t>>* records) {
  records->clear();
  platform::OsFile* file = platform::OpenOsFile(path.c_str(), platform::FileShare::kReadOnly,
                                                platform::FileDisposition::kOpenExisting);
  if (file == nullptr) return 12;
  uint64_t size = 0;
  std::vector<uint8_t> bytes;
  uint32_t done = 0;
  const bool read = platform::OsFileSize(file, &size) && size < (1u << 30) &&
                    (bytes.resize(static_cast<std::size_t>(size)), true) &&
                    (size == 0 || platform::ReadOsFile(file, bytes.data(), static_cast<uint32_t>(size), &done));
  platform::CloseOsFile(file);
  if (!read || done != size) return 36;
  // Every stretch header of a record, wherever it lies: no chain of
  // stretches, index or count is trusted, only each record's check value.
  std::map<std::string, std::pair<uint32_t, std::vector<uint8_t>>> by_uid;  // UID: serial, record
  for (std::size_t at = 0; at + kLongVarHeader < bytes.size(); ++at) {
    const uint8_t* h = bytes.data() + at;
    if (GetLe16(h) != kMarkActive) continue;
    const uint32_t total = GetLe32(h + 2), used = GetLe32(h + 6), link = GetLe32(h + 14);
    if (used == 0 || link == 0 || link == 0xFFFFFFFFu || used > total - kLongVarHeader || total < kLongVarHeader ||
        at + kLongVarHeader + used > bytes.size())
      continue;
    const uint8_t* data = h + kLongVarHeader;
    if (RecordCheckValue(data, used) != link || !LooksLikeEventRecord(data, used)) continue;
    std::string uid(reinterpret_cast<const char*>(data + 14), used - 14);
    uid.resize(uid.find('\0') == std::string::npos ? uid.size() : uid.find('\0'));
    const uint32_t serial = GetLe32(data + 6);
    auto found = by_uid.find(uid);
    // Two sound copies of one event (a rewrite cut short): the later change.
    if (found == by_uid.end() || found->second.first < serial)
      by_uid[uid] = {serial, std::vector<uint8_t>(data, data + used)};
  }
  for (auto& r : by_uid) records->push_back(std::move(r.second.second));
  return 0;
}

}  // namespace isam
