#include <windows.h>
#include <bcrypt.h>

#include <string>

#include "platform/keyed_check.h"

namespace platform {

bool KeyedCheckBytes(const std::string& key, const std::string& data, unsigned char out[kKeyedCheckSize]) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(
          ::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
    return false;
  BCRYPT_HASH_HANDLE hash = nullptr;
  std::string keyCopy = key;
  std::string dataCopy = data;
  bool ok = BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0,
                                              reinterpret_cast<PUCHAR>(keyCopy.data()),
                                              static_cast<ULONG>(keyCopy.size()), 0));
  if (ok) {
    ok = BCRYPT_SUCCESS(::BCryptHashData(hash, reinterpret_cast<PUCHAR>(dataCopy.data()),
                                         static_cast<ULONG>(dataCopy.size()), 0)) &&
         BCRYPT_SUCCESS(::BCryptFinishHash(hash, out, static_cast<ULONG>(kKeyedCheckSize), 0));
    ::BCryptDestroyHash(hash);
  }
  ::BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok;
}

}  // namespace platform
