// Small routines the engine's layers share: bounded copies, cursors over
// byte buffers, little-endian field access for on-disk structures, name
// comparison and the directory prefix.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

// Copies at most size - 1 characters and always terminates; a null
// source zero-fills all size bytes. size <= 0 does nothing.
void CopyBoundedString(char* destination, const char* source, int size);

// Copy n bytes and advance the cursor.
void PutBytesAdvance(uint8_t** cursor, const void* source, size_t n);
void GetBytesAdvance(void* destination, const uint8_t** cursor, size_t n);

// Reverses n bytes in place.
void ReverseBytes(void* buffer, size_t n);

// Little-endian fields of on-disk structures (never a struct copy).
inline uint16_t GetLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
// Big-endian, for record positions inside keys.
inline uint32_t GetBe32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// 0 when equal: without regard to case up to and including the first
// member separator ('!'), with regard to case behind it. Otherwise <0 / >0.
int CompareFileNames(const char* a, const char* b);

// In path modes 2 and 3 of the current instance a relative name (not
// starting with '\' or '/', without "X:") gets the instance's directory
// prepended, in place (name holds 256 bytes). 139 when the result would
// exceed 255 characters (name unchanged); else 0.
int AddDirectoryPrefix(char* name);

// 16384 for length <= 2048, 32768 for length <= 32768, else length, when
// length >= requested or requested < 16384; otherwise requested.
int32_t ChooseExtensionSize(int32_t requested, int32_t length);

// "v1.00.00a".
const char* EngineVersion();

}  // namespace isam
