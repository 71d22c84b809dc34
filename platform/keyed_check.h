// Keyed check values (HMAC-SHA-256) from the system's own cryptography:
// BCrypt on Windows, the packaged libcrypto elsewhere. A value made with a
// key nobody else holds proves that whoever holds the key made it over
// exactly these bytes.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

constexpr size_t kKeyedCheckSize = 32;

// The check value of `data` under `key` as 64 lower-case hex digits; an
// empty text when the system's cryptography refused (a caller then treats
// nothing as proven).
std::string KeyedCheck(const std::string& key, const std::string& data);

}  // namespace platform
