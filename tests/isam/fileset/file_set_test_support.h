// Shared pieces of the file-set tests (stored definitions, rename, copy): a
// started engine with fresh event-shaped sets, the UID lookup they all
// check with, and resource bytes.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "isam/calendar_file_set.h"
#include "isam/index/btree_bytes.h"
#include "isam/record/isam_record.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/resource_bytes.h"
#include "tests/isam/record/varlen_test_engine.h"
#include "tests/isam/superfile/calendar_host.h"

namespace isam {

class FileSetTestBase : public RecordEngineTest {
 protected:
  // An event-shaped set (variable data file, one index file with two
  // indexes) named after `leaf`, its files removed; not created yet.
  std::unique_ptr<EventShapedSet> FreshSet(const std::string& leaf) {
    Path((leaf + ".dat").c_str());
    Path((leaf + ".idx").c_str());
    return std::make_unique<EventShapedSet>(Path(leaf.c_str()), kModeVariable, 0);
  }
  // Creates the set and adds one record per UID (serials from 1); the set
  // stays open.
  void CreateWithRecords(EventShapedSet* set, const std::vector<std::string>& uids, std::size_t filler = 20) {
    ASSERT_EQ(0, CreateFileSetFromIfil(&set->block));
    uint32_t serial = 0;
    for (const auto& uid : uids) {
      const auto r = EventRecord(uid, ++serial, filler);
      ASSERT_EQ(0, IsamRecordAdd(set->block.assigned, r.data(), static_cast<int32_t>(r.size())));
    }
  }
  // Whether an equal search of the UID index finds the record of that UID.
  bool Found(int uid_key, const std::string& uid) {
    std::vector<uint8_t> buf(4096);
    int32_t len = 4096;
    const auto t = UidTarget(uid);
    return IsamRecordReadByKey(uid_key, t.data(), kReadEqual, buf.data(), &len) == 0 && UidOf(buf) == uid;
  }
  int OpenFiles() { return CurrentInstance()->files_open; }
  // A calendar host `leaf` (its path in *host) with the event set created
  // in it with these modes; host and set stay open. Null on failure.
  std::unique_ptr<CalendarFileSet> CreateCalendar(const std::string& leaf, std::string* host,
                                                  int16_t data_mode = kCalendarDataMode,
                                                  int16_t index_mode = kCalendarIndexMode) {
    *host = Path(leaf.c_str());
    if (CreateCalendarHost(*host) < 0) return nullptr;
    auto set = std::make_unique<CalendarFileSet>(CalendarFileSet::MemberName(*host));
    set->block()->data_mode = data_mode;
    set->block()->index_mode = index_mode;
    if (CreateFileSetFromIfil(set->block()) != 0) return nullptr;
    return set;
  }
};

}  // namespace isam
