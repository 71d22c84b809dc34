// Windows side of the profile store: registry values below
// HKEY_CURRENT_USER\<location>\<section>, REG_DWORD for integers and REG_SZ
// for texts, as the class library's profile functions keep them. Every call
// opens and closes its key; the registry itself makes each value write
// durable and case-insensitive.
#include "platform/profile_store.h"
#include "platform/profile_store_names.h"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

const char kDefaultLocation[] = "Software\\Corvelle Software\\Almacora";

class Key {
 public:
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  bool Open(const std::string& path, REGSAM access) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
  }
  bool Create(const std::string& path) {
    return RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_WRITE, nullptr, &key_, nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

struct ProfileStore::Impl {
  std::string location;
  bool inBatch = false;
  bool batchOk = true;

  std::string SectionPath(const std::string& section) const { return location + "\\" + section; }
};

ProfileStore::ProfileStore() : ProfileStore(kDefaultLocation) {}

ProfileStore::ProfileStore(const std::string& location) : impl_(new Impl) {
  impl_->location = location;
}

ProfileStore::~ProfileStore() = default;

std::string ProfileStore::ScratchLocation(const std::string& tag) {
  static int counter = 0;
  return std::string("Software\\Corvelle Software\\AlmacoraTest\\") +
         std::to_string(static_cast<unsigned long>(GetCurrentProcessId())) + "-" +
         std::to_string(++counter) + "-" + tag;
}

const std::string& ProfileStore::Location() const { return impl_->location; }

bool ProfileStore::ReadInt(const std::string& section, const std::string& key,
                           std::int32_t* value) const {
  Key k;
  if (!k.Open(impl_->SectionPath(section), KEY_READ)) return false;
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExA(k.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data)
    return false;
  *value = static_cast<std::int32_t>(data);
  return true;
}

bool ProfileStore::ReadString(const std::string& section, const std::string& key,
                              std::string* value) const {
  Key k;
  if (!k.Open(impl_->SectionPath(section), KEY_READ)) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(k.get(), key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  // The value may change between the two queries; retry with its new size.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<char> buf(size + 1, '\0');
    DWORD got = size;
    LONG rc = RegQueryValueExA(k.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                               &got);
    if (rc == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
    buf[got < buf.size() ? got : buf.size() - 1] = '\0';  // stored texts need not end in NUL
    *value = buf.data();
    return true;
  }
  return false;
}

bool ProfileStore::WriteInt(const std::string& section, const std::string& key, std::int32_t value) {
  bool ok = false;
  if (IsStorableProfileName(section) && IsStorableProfileName(key)) {
    Key k;
    DWORD data = static_cast<DWORD>(value);
    ok = k.Create(impl_->SectionPath(section)) &&
         RegSetValueExA(k.get(), key.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof data) == ERROR_SUCCESS;
  }
  if (!ok && impl_->inBatch) impl_->batchOk = false;
  return ok;
}

bool ProfileStore::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  bool ok = false;
  if (IsStorableProfileName(section) && IsStorableProfileName(key)) {
    Key k;
    std::string text = value.substr(0, value.find('\0'));
    ok = k.Create(impl_->SectionPath(section)) &&
         RegSetValueExA(k.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  }
  if (!ok && impl_->inBatch) impl_->batchOk = false;
  return ok;
}

bool ProfileStore::Clear() {
  LONG rc = RegDeleteTreeA(HKEY_CURRENT_USER, impl_->location.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
  rc = RegDeleteKeyA(HKEY_CURRENT_USER, impl_->location.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

void ProfileStore::BeginBatch() {
  if (impl_->inBatch) return;
  impl_->inBatch = true;
  impl_->batchOk = true;
}

bool ProfileStore::EndBatch() {
  if (!impl_->inBatch) return true;
  impl_->inBatch = false;
  return impl_->batchOk;
}

}  // namespace platform
