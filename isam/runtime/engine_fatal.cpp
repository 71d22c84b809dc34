// Fatal errors: status-log line first, then box and exit through the
// platform's replaceable fatal path.
#include "isam/runtime/engine_fatal.h"

#include <cstdio>

#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"
#include "platform/fatal.h"

namespace isam {

namespace {
int CurrentEngErr() {
  EngineInstance* inst = CurrentInstance();
  return inst ? inst->eng_err : 0;
}
}  // namespace

void EngineFatalError(int number) {
  char text[128];
  std::snprintf(text, sizeof text, "Unexpected internal engine error #%d (eng_err=%d)", number,
                CurrentEngErr());
  WriteStatusLog(text, kStatusLogFatalValue);
  char box[160];
  std::snprintf(box, sizeof box, "\n%s\n", text);
  platform::FatalExit(box, number);
}

void fatalend(int m, int l, int f, long p) {
  char box[192];
  std::snprintf(box, sizeof box, "\nEngine catastrophic end: M%d L%d F%d P%lxx  ErrorCode=%d\n", m,
                l, static_cast<short>(f), static_cast<unsigned long>(p), CurrentEngErr());
  platform::FatalExit(box, 100);
}

}  // namespace isam
