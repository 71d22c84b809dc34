// The program's settings profile: typed values (32-bit integers and texts)
// filed by section and key name.
//
// On Windows a profile is a registry key below HKEY_CURRENT_USER (the
// program's own is "Software\Corvelle Software\Almacora"); each section is a
// sub-key, integers are REG_DWORD values and texts REG_SZ values. On POSIX a
// profile is one text file holding the same sections, keys and value types.
// Section and key names are case-insensitive on both sides, as the registry
// is: "SnoozeMinutes" and "snoozeminutes" name one value.
//
// A value only reads back with the type it was written with: an integer
// read of a text value (or a text read of an integer) finds nothing, as the
// registry profile functions do.
//
// Failures are reported by the boolean results; nothing throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class ProfileStore {
 public:
  // The program's own profile: HKCU "Software\Corvelle Software\Almacora"
  // on Windows; on POSIX the file "Corvelle Software/Almacora/profile.ini"
  // below $XDG_CONFIG_HOME (else $HOME/.config).
  ProfileStore();

  // A profile at another location: a registry key path below
  // HKEY_CURRENT_USER on Windows, a file path on POSIX.
  explicit ProfileStore(const std::string& location);

  ~ProfileStore();
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  // A fresh location for tests, unique to this process and tag: a sub-key
  // of "Software\Corvelle Software\AlmacoraTest" on Windows, a file in the
  // temporary folder on POSIX. Nothing is created until the first write;
  // Clear() removes it again.
  static std::string ScratchLocation(const std::string& tag);

  const std::string& Location() const;

  // True and the value when the key holds an integer (texts: a text);
  // false, leaving *value alone, when it is missing or of the other type.
  bool ReadInt(const std::string& section, const std::string& key, std::int32_t* value) const;
  bool ReadString(const std::string& section, const std::string& key, std::string* value) const;

  // The value, or def when ReadInt / ReadString finds none.
  std::int32_t GetInt(const std::string& section, const std::string& key, std::int32_t def) const;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& def) const;

  // Stores a value, replacing one of either type under that key; creates
  // the section as needed. False when it could not be stored (names that
  // are empty or hold a line break, '[' , ']' or '=' are refused too, so
  // both sides accept the same names). Outside a batch the value is durable
  // when the call returns.
  bool WriteInt(const std::string& section, const std::string& key, std::int32_t value);
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);

  // Removes the whole profile at this location (every section and value).
  // True when nothing is left afterwards.
  bool Clear();

  // Groups many writes into one update. On POSIX, writes between BeginBatch
  // and EndBatch are kept (and read back) in memory and EndBatch stores them
  // together, all or nothing; on Windows each write is stored at once (the
  // registry has no transactions). EndBatch answers whether every write of
  // the batch was stored. Batches do not nest.
  void BeginBatch();
  bool EndBatch();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
