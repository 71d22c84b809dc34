#include "isam/calendar_file_set.h"

#include "isam/index/btree_node.h"

namespace isam {

static_assert(kCalendarFileDamaged == kErrFileDamaged, "the calendar's word for a damaged set is the engine's");

CalendarFileSet::CalendarFileSet(const std::string& name, bool alone) : name_(name) {
  IndexDefinition& uid = indexes_[0];
  uid.key_length = kCalendarUidKeyLength;
  uid.key_type = 8;  // trailing blanks are not stored
  uid.duplicates = 0;
  uid.segment_count = 1;
  uid.segments = &uid_segment_;
  uid.pad_byte = &pad_;
  IndexDefinition& serial = indexes_[1];
  serial.key_length = kCalendarSerialKeyLength;
  serial.key_type = 0;
  serial.duplicates = 1;
  serial.segment_count = 1;
  serial.segments = &serial_segment_;
  serial.pad_byte = &pad_;
  block_.name = name_.c_str();
  block_.data_file = -1;
  block_.record_length = kCalendarRecordLength;
  block_.data_extension = 4096;
  block_.data_mode = alone ? kCalendarDataAloneMode : kCalendarDataMode;
  block_.index_count = 2;
  block_.index_extension = 4096;
  block_.index_mode = alone ? kCalendarIndexAloneMode : kCalendarIndexMode;
  block_.indexes = indexes_;
}

std::string CalendarFileSet::MemberName(const std::string& path) {
  return path + "!" + kCalendarMemberName;
}

}  // namespace isam
