#include "storage/calendar_resources.h"

#include <cstring>

namespace {

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

std::vector<uint8_t> Header(uint32_t number, const char* name, size_t size) {
  std::vector<uint8_t> out(size, 0);
  PutLe32(out.data(), kResourceType);
  PutLe32(out.data() + 4, number);
  std::memcpy(out.data() + 8, name, std::strlen(name) + 1);
  return out;
}

bool HeaderMatches(const uint8_t* data, size_t size, size_t need, uint32_t number) {
  return data != nullptr && size >= need && GetLe32(data) == kResourceType && GetLe32(data + 4) == number;
}

}  // namespace

std::vector<uint8_t> ResourceId(uint32_t number, const char* name) {
  return Header(number, name, 8 + std::strlen(name) + 1);
}

std::vector<uint8_t> EncodeVersion(float version) {
  std::vector<uint8_t> out = Header(kVersionNumber, "VERSION", kVersionSize);
  uint32_t bits = 0;
  std::memcpy(&bits, &version, 4);
  PutLe32(out.data() + 16, bits);
  return out;
}

bool DecodeVersion(const uint8_t* data, size_t size, float* version) {
  if (!HeaderMatches(data, size, kVersionSize, kVersionNumber)) return false;
  const uint32_t bits = GetLe32(data + 16);
  std::memcpy(version, &bits, 4);
  return true;
}

std::vector<uint8_t> EncodeFileType(int32_t type) {
  std::vector<uint8_t> out = Header(kFileTypeNumber, "FILETYPE", kFileTypeSize);
  PutLe32(out.data() + 20, static_cast<uint32_t>(type));
  return out;
}

bool DecodeFileType(const uint8_t* data, size_t size, int32_t* type) {
  if (!HeaderMatches(data, size, kFileTypeSize, kFileTypeNumber)) return false;
  *type = static_cast<int32_t>(GetLe32(data + 20));
  return true;
}

bool EncodeCalInfo(const CalInfo& info, std::vector<uint8_t>* out) {
  size_t strings = 0;
  for (const auto& s : info.strings) strings += s.size() + 1;
  if (!info.publishProof.empty()) strings += info.publishProof.size() + 1;
  if (strings > kCalInfoStringsMax) return false;
  *out = Header(kCalInfoNumber, "CALINFO", kCalInfoStringsOffset);
  uint8_t* p = out->data();
  p[16] = info.subscribed ? 1 : 0;
  p[17] = info.published ? 1 : 0;
  p[18] = info.refreshAtStartup ? 1 : 0;
  p[19] = info.publishAfterSave ? 1 : 0;
  p[20] = info.publishAlarms ? 1 : 0;
  p[21] = info.addressOrder;
  p[23] = info.nameFromPath ? 1 : 0;
  for (const auto& s : info.strings) {
    out->insert(out->end(), s.begin(), s.end());
    out->push_back(0);
  }
  if (!info.publishProof.empty()) {
    out->insert(out->end(), info.publishProof.begin(), info.publishProof.end());
    out->push_back(0);
  }
  return true;
}

bool DecodeCalInfo(const uint8_t* data, size_t size, CalInfo* info) {
  if (!HeaderMatches(data, size, kCalInfoStringsOffset, kCalInfoNumber)) return false;
  info->subscribed = data[16] != 0;
  info->published = data[17] != 0;
  info->refreshAtStartup = data[18] != 0;
  info->publishAfterSave = data[19] != 0;
  info->publishAlarms = data[20] != 0;
  info->addressOrder = data[21];
  info->nameFromPath = data[23] != 0;
  size_t at = kCalInfoStringsOffset;
  auto next = [&](std::string* s) {
    s->clear();
    if (at >= size) return;
    const void* nul = std::memchr(data + at, 0, size - at);
    const size_t end = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
    s->assign(reinterpret_cast<const char*>(data + at), end - at);
    at = end + 1;
  };
  for (auto& s : info->strings) next(&s);
  next(&info->publishProof);
  return true;
}
