// The serialize gate. The engine mutex belongs to a thread, so a nested
// engserl from the same thread would pass it; the nesting count is what
// turns such a re-entry into the fatal error.
#include "isam/runtime/engine_gate.h"

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"
#include "isam/runtime/thread_layer.h"

namespace isam {

namespace {
int g_depth = 0;
bool Ungated(uint16_t number) { return (number & 0xFF) >= 230; }
}  // namespace

int engserl(uint16_t number) {
  if (Ungated(number)) return 0;
  MutexLock(EngineGateMutex(), true);
  EngineSelectInstance(nullptr);
  if (g_depth++ >= 1) {
    WriteStatusLog("Recursive engserl:", number);
    EngineFatalError(kFatalRecursiveSerl);
    // Only a test hook gets here: undo this entry.
    --g_depth;
    MutexUnlock(EngineGateMutex());
    return kFatalRecursiveSerl;
  }
  return 0;
}

int engunserl(uint16_t number) {
  if (Ungated(number)) return 0;
  if (g_depth == 1) {
    g_depth = 0;
    MutexUnlock(EngineGateMutex());
    return 0;
  }
  if (g_depth == 0) {
    WriteStatusLog("Zero engunserl:", number);
    EngineFatalError(kFatalZeroUnserl);
    return kFatalZeroUnserl;
  }
  WriteStatusLog("Recursive engunserl:", number);
  EngineFatalError(kFatalRecursiveUnserl);
  return kFatalRecursiveUnserl;
}

int EngineGateDepth() { return g_depth; }

}  // namespace isam
