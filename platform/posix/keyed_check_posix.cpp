#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <string>

#include "platform/keyed_check.h"

namespace platform {

bool KeyedCheckBytes(const std::string& key, const std::string& data, unsigned char out[kKeyedCheckSize]) {
  unsigned int length = 0;
  const unsigned char* made =
      HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(data.data()),
           data.size(), out, &length);
  return made != nullptr && length == kKeyedCheckSize;
}

}  // namespace platform
