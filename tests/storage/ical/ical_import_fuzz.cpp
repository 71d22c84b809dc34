// libFuzzer entry: any bytes as iCalendar text, imported twice into one
// calendar (the second run merges by UID) and the result exported again.
// Every question is answered "skip" / "yes" so the whole text is read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/storage/ical/ical_fixture.h"

namespace {

struct YesPrompts : IICalPrompts {
  int AskSkipOrCancel(const std::string&) override { return kSkipEvent; }
  bool AskYesNo(const std::string&) override { return true; }
  void ShowMessage(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    icaltest::UseDefaultSettings();
    return true;
  }();
  (void)ready;
  const std::string text(reinterpret_cast<const char*>(data), size);
  icaltest::FakeTarget target;
  target.header.publishAlarms = true;
  YesPrompts prompts;
  CICalConverter converter(&prompts);
  converter.ImportICalString(text, target, false);
  converter.ImportICalString(text, target, true);
  converter.ExportCalendarICal(target.List(), target.header);
  return 0;
}
