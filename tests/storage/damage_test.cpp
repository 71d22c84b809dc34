// Damaged files open or fail with a message, never crash; a write that
// fails leaves the event as it was and the file loadable.
#include <fstream>

#include "isam/index/file_control_block.h"
#include "isam/index/writer_mark.h"
#include "model/events/event_codec.h"
#include "storage/calendar_backup.h"
#include "platform/os_file_faults.h"
#include "storage/event_array.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

using DamageTest = StorageTest;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(DamageTest, TruncatedAndBitFlippedFilesOpenOrFailWithAMessage) {
  std::string good;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("good.akv")));
    file.name = "Damage";
    file.address = "http://x.org/d.ics";
    ASSERT_EQ(1, file.WriteCalInfo());
    CEventArray events;
    for (int i = 0; i < 12; ++i) {
      CCalEvent* e = NewEvent("event " + std::to_string(i));
      e->notes = std::string(static_cast<size_t>(40 * i), 'n');
      ASSERT_EQ(1, file.AddEvent(e, 0, &events));
    }
    good = file.path;
  }
  const std::vector<uint8_t> bytes = ReadFileBytes(good);
  ASSERT_GT(bytes.size(), 1000u);
  std::vector<std::vector<uint8_t>> damaged;
  for (size_t cut : {size_t{0}, size_t{64}, size_t{128}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 7})
    damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<long>(cut));
  for (size_t at = 0; at < bytes.size(); at += 37) {
    std::vector<uint8_t> flipped = bytes;
    flipped[at] ^= static_cast<uint8_t>(1u << (at % 8));
    damaged.push_back(flipped);
  }
  const std::string path = Path("damaged.akv");
  int opened = 0;
  for (size_t i = 0; i < damaged.size(); ++i) {
    WriteBytes(path, damaged[i]);
    prompts.texts.clear();
    CCalendarFile file;
    CEventArray events;
    if (file.Open(&events, path)) {
      ++opened;
      EXPECT_LE(events.size(), 12u) << i;
    } else {
      EXPECT_FALSE(prompts.texts.empty()) << "case " << i << " failed silently";
    }
  }
  EXPECT_GT(opened, 0);
}

// A calendar whose writer died, damaged: the open keeps what it can read
// and says so in words; a file it refuses is offered back from the backup
// or rebuilt from its records - never a bare error number.
TEST_F(DamageTest, AfterACrashTheOpenSaysWhatItKeptOrOffersABackupOrARebuild) {
  const struct {
    const char* what;
    const char* damaged;  // the stretch header the crash left unreadable, before this text (null: a byte of "Dentist")
    DamagedChoice answer;
    int events;  // after the open (-1: left closed)
    std::vector<const char*> said;
  } cases[] = {
      {"a record torn", nullptr, DamagedChoice::kLeaveClosed, 11, {"\"Home\"", "11 events were kept", "\"Dentist\""}},
      {"a record's header", "Dentist", DamagedChoice::kLeaveClosed, 11, {"\"Home\"", "11 events were kept", "could not be read"}},
      {"rebuilt", "CALINFO", DamagedChoice::kRebuild, 12, {"\"home\"", "No: rebuild", "was rebuilt", "12 events were kept"}},
      {"restored", "CALINFO", DamagedChoice::kRestoreBackup, 12, {"Yes: restore the last backup"}},
      {"left closed", "CALINFO", DamagedChoice::kLeaveClosed, -1, {"cannot be opened"}},
  };
  g_Settings.BackupDir = Path("backups");
  std::filesystem::create_directories(g_Settings.BackupDir);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Path("home.akv");
    {
      CCalendarFile file;
      ASSERT_EQ(1, file.CreateFile(path));
      file.name = "Home";
      ASSERT_EQ(1, file.WriteCalInfo());
      CEventArray events;
      for (int i = 0; i < 12; ++i) {
        CCalEvent* e = NewEvent(i == 6 ? "Dentist" : "event " + std::to_string(i));
        e->notes = std::string(300, 'n');
        ASSERT_EQ(1, file.AddEvent(e, 0, &events));
      }
      file.Close(&events);
      // Removed first: the Windows runtime's copy refuses to overwrite.
      const std::string backup = calbackup::BackupFolder(g_Settings.BackupDir) + calbackup::BackupFileName(path);
      std::filesystem::remove(backup);
      std::filesystem::copy_file(path, backup);
      ASSERT_EQ(1, file.Open(&events, path));
      ASSERT_EQ(0, isam::MarkWriter(isam::CheckFileNumber(file.dataFile)));
      isam::CheckFileNumber(file.dataFile)->writer_marked = false;  // closes as a writer that died
    }
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t at = text.find(c.damaged ? c.damaged : "Dentist");
    ASSERT_NE(std::string::npos, at);
    const std::size_t mark = text.find_last_of("\xFA\xFE", at);  // the stretch header before it
    ASSERT_NE(std::string::npos, mark);
    if (c.damaged) {
      bytes[mark] = bytes[mark - 1] = 0;
    } else {
      bytes[text.find("nnnn", at) + 100] = 'x';
    }
    WriteBytes(path, bytes);
    prompts.texts.clear();
    prompts.damagedChoice = c.answer;
    CCalendarFile file;
    CEventArray events;
    EXPECT_EQ(c.events >= 0 ? 1 : 0, file.Open(&events, path));
    if (c.events >= 0) {
      EXPECT_EQ(static_cast<size_t>(c.events), events.size());
    }
    std::string said;
    for (const std::string& t : prompts.texts) said += t + "\n";
    for (const char* piece : c.said) EXPECT_NE(std::string::npos, said.find(piece)) << said;
    EXPECT_EQ(std::string::npos, said.find("690")) << said;
  }
}

TEST_F(DamageTest, AFailedWriteKeepsTheEventAndTheFileLoads) {
  CCalendarFile file;
  ASSERT_EQ(1, file.CreateFile(Path("faults.akv")));
  CEventArray events;
  ASSERT_EQ(1, file.AddEvent(NewEvent("kept", "kept-uid"), 0, &events));
  size_t stored = 1;
  int failedAdds = 0, failedSaves = 0;
  for (uint64_t nth = 1; nth < 40; ++nth) {
    // An add that meets the failure.
    platform::FileFaultPlan plan;
    plan.nth = nth;
    platform::ArmFileFault(plan);
    CCalEvent* added = NewEvent("added " + std::to_string(nth));
    const int addResult = file.AddEvent(added, 0, &events);
    const bool fired = platform::FileFaultFired();
    platform::DisarmFileFaults();
    if (addResult == 1) {
      ++stored;
    } else {
      EXPECT_TRUE(fired);
      ++failedAdds;
      delete added;
    }
    EXPECT_EQ(stored, events.size()) << nth;
    // A save that meets the failure puts the event back as it was.
    CCalEvent* kept = events.at(0);
    const int32_t sequence = kept->sequence;
    const int32_t serial = kept->changeSerial;
    const CDateTime modified = kept->lastModified;
    platform::ArmFileFault(plan);
    const int saveResult = file.UpdateEvent(kept, &events, 1, 0, 1);
    platform::DisarmFileFaults();
    if (saveResult == 0) {
      ++failedSaves;
      EXPECT_EQ(sequence, kept->sequence) << nth;
      EXPECT_EQ(serial, kept->changeSerial) << nth;
      EXPECT_EQ(modified, kept->lastModified) << nth;
    }
    if (!fired && addResult == 1 && saveResult == 1) break;
  }
  EXPECT_GT(failedAdds, 0);
  EXPECT_GT(failedSaves, 0);
  const std::string p = file.path;
  file.Close(&events);
  CCalendarFile again;
  CEventArray loaded;
  ASSERT_EQ(1, again.Open(&loaded, p));
  EXPECT_EQ(stored, loaded.size());
}

// What a file could be made to hold that no load would give back: the
// in-memory type read from disk, a record past the reader's largest. Saves
// go on storing, a refused event is named, and later events load.
TEST_F(DamageTest, NoSaveIsLostToAFileTypeOrARecordTheLoaderRefuses) {
  std::string p;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("odd.akv")));
    ASSERT_EQ(1, file.WriteFileType(CCalendarFile::kMemoryOnly));
    p = file.path;
  }
  CCalendarFile file;
  CEventArray events;
  ASSERT_EQ(1, file.Open(&events, p));
  CCalEvent* big = NewEvent("Big one", "a-big");
  // Each item holds under 64 KB: overrides make the record long.
  for (int i = 0; i * 60000 <= static_cast<int>(kLargestEventRecord); ++i) {
    COccurrenceOverride& o = big->occurrenceOverrides[caltest::At(1 + i % 28, 1 + i / 28, 2027, 9)];
    o.mask = COccurrenceOverride::kNotes;
    o.notes.assign(60000, 'n');
  }
  ASSERT_EQ(0, file.AddEvent(big, 0, &events));
  delete big;
  EXPECT_EQ(prompts.texts, std::vector<std::string>{"Error Saving Event.\n\nThe event 'Big one' cannot be "
                                                    "stored in the event file (it is too large)."});
  ASSERT_EQ(1, file.AddEvent(NewEvent("after", "b-after"), 0, &events));
  file.Close(&events);
  CCalendarFile again;
  CEventArray loaded;
  ASSERT_EQ(1, again.Open(&loaded, p));
  ASSERT_EQ(1u, loaded.size());
  EXPECT_EQ("after", loaded.at(0)->name);
}

}  // namespace
}  // namespace storagetest
