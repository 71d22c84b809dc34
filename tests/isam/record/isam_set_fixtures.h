// Fixtures of the ISAM record-layer tests: a started engine with a fresh
// calendar-shaped file set open (EventSetTest), and a file set of one index
// over a segment of the caller's (OneIndexSet).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/index/btree_update.h"
#include "isam/record/isam_record.h"
#include "isam/record/isam_record_keys.h"
#include "tests/isam/record/isam_record_test_set.h"
#include "tests/isam/record/varlen_test_engine.h"

namespace isam {

class EventSetTest : public RecordEngineTest {
 protected:
  void SetUp() override {
    RecordEngineTest::SetUp();
    Path("cal.dat");
    Path("cal.idx");
    set_ = std::make_unique<EventShapedSet>(Path("cal"), kModeVariable, 0);
    ASSERT_EQ(0, CreateFileSetFromIfil(&set_->block));
    data_ = set_->block.assigned;
    uid_ = data_ + 1;
    serial_ = data_ + 2;
  }
  int Add(const std::string& uid, uint32_t serial, std::size_t filler = 0) {
    const auto r = EventRecord(uid, serial, filler);
    return IsamRecordAdd(data_, r.data(), static_cast<int32_t>(r.size()));
  }
  // Reads the record of a UID into out (emptied when the read fails).
  int ReadUid(const std::string& uid, std::vector<uint8_t>* out) {
    out->assign(4096, 0);
    int32_t len = 4096;
    const auto t = UidTarget(uid);
    const int rc = IsamRecordReadByKey(uid_, t.data(), kReadEqual, out->data(), &len);
    out->resize(rc == 0 ? static_cast<std::size_t>(len) : 0);
    return rc;
  }

  // What a writer that died between an in-place record write and its serial
  // key switch leaves: the record's serial key replaced by one built from
  // the record with another serial, naming the same position.
  void LeaveStaleSerialKey(const std::vector<uint8_t>& record, uint32_t position, uint32_t stale_serial,
                           uint8_t* stale = nullptr) {
    uint8_t real[256], other_key[256];
    if (stale == nullptr) stale = other_key;
    ASSERT_GT(BuildRecordKey(serial_, record.data(), record.size(), position, real), 0);
    std::vector<uint8_t> other = record;
    PutLe32(other.data() + 6, stale_serial);
    ASSERT_GT(BuildRecordKey(serial_, other.data(), other.size(), position, stale), 0);
    ASSERT_EQ(0, delkey(serial_, real, position, 0));
    ASSERT_EQ(0, addkey(serial_, stale, position, 0));
  }

  std::unique_ptr<EventShapedSet> set_;
  int data_ = -1, uid_ = -1, serial_ = -1;
};

// A variable-length data file of fixed part 16 (or record_length) with one
// unique index over `segment`.
struct OneIndexSet {
  KeySegment segment;
  uint8_t pad = 0x20;
  IndexDefinition index;
  IfilBlock block;
  std::string name;

  OneIndexSet(const std::string& base, KeySegment seg, int16_t record_length = 16, int16_t data_file = -1)
      : segment(seg), name(base) {
    index.key_length = seg.length;
    index.segment_count = 1;
    index.segments = &segment;
    index.pad_byte = &pad;
    block.name = name.c_str();
    block.data_file = data_file;
    block.record_length = record_length;
    block.data_extension = 4096;
    block.data_mode = kModeVariable;
    block.index_count = 1;
    block.index_extension = 4096;
    block.indexes = &index;
  }
  OneIndexSet(const OneIndexSet&) = delete;
  OneIndexSet& operator=(const OneIndexSet&) = delete;
};

}  // namespace isam
