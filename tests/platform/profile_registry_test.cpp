// The Windows side of the profile store writes what other registry readers
// see: REG_DWORD numbers and REG_SZ texts under HKCU\<location>\<section>.
// Stored profiles and hand edits with the registry editor rely on it.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "platform/profile_store.h"

namespace {

struct RegValue {
  bool found = false;
  DWORD type = 0;
  std::string bytes;
};

RegValue Query(const std::string& keyPath, const char* name) {
  RegValue v;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  char buf[512];
  DWORD size = sizeof buf;
  if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS) {
    v.found = true;
    v.bytes.assign(buf, size);
  }
  RegCloseKey(key);
  return v;
}

}  // namespace

TEST(ProfileRegistry, NumbersAreDwordsAndTextsAreStringsUnderTheSectionKey) {
  const std::string location = platform::ProfileStore::ScratchLocation("registry");
  platform::ProfileStore store(location);
  ASSERT_TRUE(store.WriteInt("Settings", "SnoozeMinutes", 5));
  ASSERT_TRUE(store.WriteInt("Settings", "Negative", -25536));
  ASSERT_TRUE(store.WriteString("Settings", "AlarmSoundFile", "whip.wav"));

  RegValue snooze = Query(location + "\\Settings", "SnoozeMinutes");
  ASSERT_TRUE(snooze.found);
  EXPECT_EQ(snooze.type, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(snooze.bytes.size(), 4u);
  EXPECT_EQ(snooze.bytes, std::string("\x05\x00\x00\x00", 4));

  RegValue negative = Query(location + "\\Settings", "Negative");
  ASSERT_TRUE(negative.found);
  EXPECT_EQ(negative.bytes, std::string("\x40\x9C\xFF\xFF", 4));

  RegValue sound = Query(location + "\\Settings", "AlarmSoundFile");
  ASSERT_TRUE(sound.found);
  EXPECT_EQ(sound.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(sound.bytes.c_str()), "whip.wav");

  // Key names are case-insensitive, as in the registry itself.
  EXPECT_TRUE(Query(location + "\\settings", "snoozeminutes").found);

  EXPECT_TRUE(store.Clear());
  EXPECT_FALSE(Query(location + "\\Settings", "SnoozeMinutes").found);
}
#endif
