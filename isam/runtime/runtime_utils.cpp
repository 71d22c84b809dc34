// Small shared routines.
#include "isam/runtime/runtime_utils.h"

#include <cctype>
#include <cstring>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"

namespace isam {

void CopyBoundedString(char* destination, const char* source, int size) {
  if (destination == nullptr || size <= 0) return;
  if (source == nullptr) {
    std::memset(destination, 0, static_cast<size_t>(size));
    return;
  }
  int i = 0;
  for (; i < size - 1 && source[i] != '\0'; ++i) destination[i] = source[i];
  destination[i] = '\0';
}

void PutBytesAdvance(uint8_t** cursor, const void* source, size_t n) {
  std::memcpy(*cursor, source, n);
  *cursor += n;
}

void GetBytesAdvance(void* destination, const uint8_t** cursor, size_t n) {
  std::memcpy(destination, *cursor, n);
  *cursor += n;
}

void ReverseBytes(void* buffer, size_t n) {
  auto* p = static_cast<uint8_t*>(buffer);
  for (size_t i = 0, j = n; i + 1 < j; ++i, --j) {
    uint8_t t = p[i];
    p[i] = p[j - 1];
    p[j - 1] = t;
  }
}

int CompareFileNames(const char* a, const char* b) {
  bool folded = true;  // up to and including the member separator
  for (;; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(*a);
    unsigned char cb = static_cast<unsigned char>(*b);
    if (folded) {
      ca = static_cast<unsigned char>(std::tolower(ca));
      cb = static_cast<unsigned char>(std::tolower(cb));
    }
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == '\0') return 0;
    if (ca == '!') folded = false;
  }
}

int AddDirectoryPrefix(char* name) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || (inst->path_mode != 2 && inst->path_mode != 3)) return kEngOk;
  if (name[0] == '\\' || name[0] == '/') return kEngOk;
  if (name[0] != '\0' && name[1] == ':') return kEngOk;
  size_t dir = std::strlen(inst->directory);
  size_t len = std::strlen(name);
  if (dir + len > 255) return kEngPathTooLong;
  std::memmove(name + dir, name, len + 1);
  std::memcpy(name, inst->directory, dir);
  return kEngOk;
}

int32_t ChooseExtensionSize(int32_t requested, int32_t length) {
  if (length >= requested || requested < 16384) {
    if (length <= 2048) return 16384;
    if (length <= 32768) return 32768;
    return length;
  }
  return requested;
}

const char* EngineVersion() { return "v1.00.00a"; }

}  // namespace isam
