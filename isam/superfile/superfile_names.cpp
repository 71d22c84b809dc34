#include "isam/superfile/superfile_names.h"

#include <cstring>

#include "isam/runtime/engine_instance.h"

namespace isam {

int SplitMemberName(const char* name, char* member, int member_size) {
  if (name == nullptr) return 0;
  EngineInstance* inst = CurrentInstance();
  const char separator = inst && inst->member_separator ? inst->member_separator : '!';
  const char* at = std::strchr(name, separator);
  if (member != nullptr && member_size > 0) {
    std::memset(member, ' ', static_cast<std::size_t>(member_size - 1));
    member[member_size - 1] = '\0';
    if (at != nullptr) {
      std::size_t n = std::strlen(at + 1);
      if (n > static_cast<std::size_t>(member_size - 1)) n = static_cast<std::size_t>(member_size - 1);
      std::memcpy(member, at + 1, n);
    }
  }
  return at == nullptr ? 0 : static_cast<int>(at - name);
}

}  // namespace isam
