// The profile store on both sides: typed values, case-insensitive names,
// batches, and that a second store at the same location sees what the first
// wrote (another process, or the next start of the program).
#include "platform/profile_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

using platform::ProfileStore;

namespace {

class ProfileStoreTest : public ::testing::Test {
 protected:
  ProfileStoreTest() : location_(ProfileStore::ScratchLocation("store")), store_(location_) {}
  ~ProfileStoreTest() override { EXPECT_TRUE(store_.Clear()); }

  std::string location_;
  ProfileStore store_;
};

TEST_F(ProfileStoreTest, MissingValuesGiveTheDefault) {
  std::int32_t n = 77;
  std::string s = "kept";
  EXPECT_FALSE(store_.ReadInt("Settings", "Nothing", &n));
  EXPECT_FALSE(store_.ReadString("Settings", "Nothing", &s));
  EXPECT_EQ(n, 77);
  EXPECT_EQ(s, "kept");
  EXPECT_EQ(store_.GetInt("Settings", "Nothing", -1), -1);
  EXPECT_EQ(store_.GetString("Settings", "Nothing", "events.akv"), "events.akv");
}

TEST_F(ProfileStoreTest, ValuesSurviveIntoAnotherStoreAtTheSameLocation) {
  ASSERT_TRUE(store_.WriteInt("Settings", "SnoozeMinutes", 5));
  ASSERT_TRUE(store_.WriteInt("Settings", "NumFiles", -1));
  ASSERT_TRUE(store_.WriteInt("Settings", "Big", 40000));
  ASSERT_TRUE(store_.WriteString("Settings", "AlarmSoundFile", "whip.wav"));
  ASSERT_TRUE(store_.WriteString("Settings", "EmailBody", "Event Name : <name>\nNotes\\\r\n<notes>"));
  ASSERT_TRUE(store_.WriteString("Settings", "Empty", ""));

  ProfileStore again(location_);
  EXPECT_EQ(again.GetInt("Settings", "SnoozeMinutes", 0), 5);
  EXPECT_EQ(again.GetInt("Settings", "NumFiles", 0), -1);
  EXPECT_EQ(again.GetInt("Settings", "Big", 0), 40000);
  EXPECT_EQ(again.GetString("Settings", "AlarmSoundFile", ""), "whip.wav");
  EXPECT_EQ(again.GetString("Settings", "EmailBody", ""), "Event Name : <name>\nNotes\\\r\n<notes>");
  std::string empty = "x";
  EXPECT_TRUE(again.ReadString("Settings", "Empty", &empty));
  EXPECT_EQ(empty, "");
}

TEST_F(ProfileStoreTest, NamesAreCaseInsensitiveAndRewritesReplace) {
  ASSERT_TRUE(store_.WriteInt("Settings", "SoundEnabled", 1));
  ASSERT_TRUE(store_.WriteInt("settings", "soundenabled", 0));
  EXPECT_EQ(store_.GetInt("SETTINGS", "SOUNDENABLED", 9), 0);
  ProfileStore again(location_);
  EXPECT_EQ(again.GetInt("Settings", "SoundEnabled", 9), 0);
}

TEST_F(ProfileStoreTest, ATypeReadsBackOnlyAsItself) {
  ASSERT_TRUE(store_.WriteString("Settings", "WinPosX", "12"));
  EXPECT_EQ(store_.GetInt("Settings", "WinPosX", -1), -1);
  ASSERT_TRUE(store_.WriteInt("Settings", "WinPosX", 12));
  EXPECT_EQ(store_.GetInt("Settings", "WinPosX", -1), 12);
  EXPECT_EQ(store_.GetString("Settings", "WinPosX", "none"), "none");
}

TEST_F(ProfileStoreTest, SectionsAreSeparate) {
  ASSERT_TRUE(store_.WriteInt("Settings", "A", 1));
  ASSERT_TRUE(store_.WriteInt("Other", "A", 2));
  EXPECT_EQ(store_.GetInt("Settings", "A", 0), 1);
  EXPECT_EQ(store_.GetInt("Other", "A", 0), 2);
}

TEST_F(ProfileStoreTest, UnstorableNamesAreRefused) {
  EXPECT_FALSE(store_.WriteInt("Settings", "", 1));
  EXPECT_FALSE(store_.WriteInt("Settings", "a=b", 1));
  EXPECT_FALSE(store_.WriteString("Set]tings", "a", "x"));
  EXPECT_FALSE(store_.WriteString("Settings", "line\nbreak", "x"));
}

TEST_F(ProfileStoreTest, ABatchIsReadableAtOnceAndStoredAtItsEnd) {
  store_.BeginBatch();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(store_.WriteInt("Settings", "K" + std::to_string(i), i));
  ASSERT_TRUE(store_.WriteString("Settings", "Name", "batch"));
  EXPECT_EQ(store_.GetInt("Settings", "K49", -1), 49);
  ASSERT_TRUE(store_.EndBatch());

  ProfileStore again(location_);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(again.GetInt("Settings", "K" + std::to_string(i), -1), i);
  EXPECT_EQ(again.GetString("Settings", "Name", ""), "batch");
}

TEST_F(ProfileStoreTest, TwoWritersAtOneLocationKeepEachOthersValues) {
  ProfileStore other(location_);
  ASSERT_TRUE(store_.WriteInt("Settings", "First", 1));
  ASSERT_TRUE(other.WriteInt("Settings", "Second", 2));
  ASSERT_TRUE(store_.WriteInt("Settings", "Third", 3));
  ProfileStore reader(location_);
  EXPECT_EQ(reader.GetInt("Settings", "First", 0), 1);
  EXPECT_EQ(reader.GetInt("Settings", "Second", 0), 2);
  EXPECT_EQ(reader.GetInt("Settings", "Third", 0), 3);
  EXPECT_EQ(store_.GetInt("Settings", "Second", 0), 2);
}

TEST_F(ProfileStoreTest, ClearRemovesEverything) {
  ASSERT_TRUE(store_.WriteInt("Settings", "A", 1));
  ASSERT_TRUE(store_.Clear());
  EXPECT_EQ(store_.GetInt("Settings", "A", 0), 0);
  ProfileStore again(location_);
  EXPECT_EQ(again.GetInt("Settings", "A", 0), 0);
}

#ifndef _WIN32
// The POSIX profile is a text file a user may have edited or a crash may
// have left behind: whatever it holds must load without harm.
TEST_F(ProfileStoreTest, ADamagedProfileFileLoadsWhatIsReadable) {
  FILE* f = std::fopen(location_.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  const char content[] =
      "garbage before any section\n"
      "[Settings\n"
      "[Settings]\r\n"
      "Good=dword:42\r\n"
      "TooBig=dword:99999999999\n"
      "NotANumber=dword:12x\n"
      "NoType=plain\n"
      "=sz:nameless\n"
      "Text=sz:a\\nb\\\\c\n"
      "Cut=sz:trailing backslash\\";
  std::fwrite(content, 1, sizeof content - 1, f);
  std::fclose(f);
  ProfileStore store(location_);
  EXPECT_EQ(store.GetInt("Settings", "Good", 0), 42);
  EXPECT_EQ(store.GetInt("Settings", "TooBig", -1), -1);
  EXPECT_EQ(store.GetInt("Settings", "NotANumber", -1), -1);
  EXPECT_EQ(store.GetString("Settings", "NoType", "none"), "none");
  EXPECT_EQ(store.GetString("Settings", "Text", ""), "a\nb\\c");
  EXPECT_EQ(store.GetString("Settings", "Cut", ""), "trailing backslash\\");
  // Writing rewrites it cleanly, keeping the readable values.
  ASSERT_TRUE(store.WriteInt("Settings", "New", 1));
  ProfileStore again(location_);
  EXPECT_EQ(again.GetInt("Settings", "Good", 0), 42);
  EXPECT_EQ(again.GetInt("Settings", "New", 0), 1);
  EXPECT_EQ(again.GetString("Settings", "Text", ""), "a\nb\\c");
}
#endif

TEST(ProfileStoreLocation, ScratchLocationsDifferAndTheDefaultNamesTheProgram) {
  EXPECT_NE(ProfileStore::ScratchLocation("a"), ProfileStore::ScratchLocation("a"));
  ProfileStore program;
  EXPECT_NE(program.Location().find("Corvelle Software"), std::string::npos);
  EXPECT_NE(program.Location().find("Almacora"), std::string::npos);
}

}  // namespace
