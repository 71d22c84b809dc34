// libFuzzer entry: any bytes as a ".vcs" file through the parser and the
// walker (scripts/fuzz builds and runs it). A crash, a sanitizer report or
// a hang is a finding; the walker's own events are dropped.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/events/cal_event.h"
#include "storage/convert/import_target.h"
#include "storage/convert/vcal_import.h"

namespace {

class DroppingTarget : public IImportTarget {
 public:
  bool AddImportedEvent(std::unique_ptr<CCalEvent>) override { return true; }
};

}  // namespace

// The parser leaks what it had built when it gives up on damaged input.
extern "C" const char* __lsan_default_suppressions() { return "leak:libicalvcal\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DroppingTarget target;
  VCalImportCounts counts;
  ImportVCalendarText(std::string(reinterpret_cast<const char*>(data), size), &target, &counts);
  return 0;
}
