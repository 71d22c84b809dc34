// The parts of ProfileStore that both sides share: the reads with a
// default, built on each side's ReadInt / ReadString.
#include "platform/profile_store.h"

namespace platform {

std::int32_t ProfileStore::GetInt(const std::string& section, const std::string& key,
                                  std::int32_t def) const {
  std::int32_t v = def;
  return ReadInt(section, key, &v) ? v : def;
}

std::string ProfileStore::GetString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
  std::string v;
  return ReadString(section, key, &v) ? v : def;
}

}  // namespace platform
