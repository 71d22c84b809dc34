#include "tests/support/win/png_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace wintest {

namespace {

std::uint32_t Crc32(const std::vector<unsigned char>& data, size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < data.size(); ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& body) {
  Put32(out, static_cast<std::uint32_t>(body.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, Crc32(out, start));
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels) {
  if (width < 0 || height < 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return false;
  }
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no row filter
    for (int x = 0; x < width; ++x) {
      const COLORREF c = pixels[static_cast<size_t>(y) * width + x];
      raw.push_back(GetRValue(c));
      raw.push_back(GetGValue(c));
      raw.push_back(GetBValue(c));
    }
  }
  std::vector<unsigned char> z{0x78, 0x01};
  std::uint32_t a = 1, b = 0;
  for (unsigned char v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n));
    z.push_back(static_cast<unsigned char>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    if (raw.empty()) break;
  }
  Put32(z, (b << 16) | a);
  std::vector<unsigned char> out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<unsigned char> ihdr;
  Put32(ihdr, static_cast<std::uint32_t>(width));
  Put32(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(out, "IHDR", ihdr);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(out.data(), out.size(), 1, f) == 1;
  return std::fclose(f) == 0 && ok;
}

std::string ArtifactPath(const std::string& name) {
  ::CreateDirectoryA(ALMACORA_ARTIFACTS_DIR, nullptr);
  return std::string(ALMACORA_ARTIFACTS_DIR) + "/" + name;
}

}  // namespace wintest
