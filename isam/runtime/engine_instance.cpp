// The ring of engine instances, their registration and selection.
//
// Besides the current and the parked pointer the ring keeps an anchor (any
// member), so a walk can start even while nothing is current.
#include "isam/runtime/engine_instance.h"

#include <cstdio>
#include <cstring>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/thread_layer.h"
#include "platform/sync.h"

namespace isam {

namespace {

EngineInstance* g_current = nullptr;
EngineInstance* g_parked = nullptr;
EngineInstance* g_anchor = nullptr;

void ThreadName(char* out, size_t size) {
  std::snprintf(out, size, "%lu", static_cast<unsigned long>(platform::CurrentThreadId()));
}

// Walks the ring once from the current instance (or the anchor).
template <typename Match>
EngineInstance* WalkRing(Match match) {
  EngineInstance* start = g_current ? g_current : g_anchor;
  if (start == nullptr) return nullptr;
  EngineInstance* inst = start;
  do {
    if (match(inst)) return inst;
    inst = inst->next;
  } while (inst != nullptr && inst != start);
  return nullptr;
}

EngineInstance* FindByName(const char* name) {
  return WalkRing([name](EngineInstance* i) { return std::strcmp(i->name, name) == 0; });
}

}  // namespace

EngineInstance* CurrentInstance() { return g_current; }
void SetCurrentInstance(EngineInstance* inst) { g_current = inst; }

int SetEngineError(int code) {
  if (g_current) g_current->eng_err = static_cast<int16_t>(code);
  return code;
}

int SetIsamError(int code, int file) {
  if (g_current) {
    g_current->eng_err = static_cast<int16_t>(code);
    g_current->isam_error = static_cast<int16_t>(code);
    g_current->isam_error_file = static_cast<int16_t>(file);
  }
  return code;
}

int EngineRegisterInstance(const char* name) {
  if (name != nullptr) return kEngNamedRegistration;
  engserl(kFnIsamStart);
  // Read only under the gate: another thread's call may change the current
  // instance until then. The gate made this thread's instance current, or
  // parked the one that was current when the thread has none.
  EngineInstance* was_current = g_current != nullptr ? g_current : g_parked;
  char own[32];
  ThreadName(own, sizeof own);
  if (FindByName(own) != nullptr) {
    g_current = was_current;
    engunserl(kFnIsamStart);
    return kEngAlreadyRegistered;
  }
  EngineInstance* block = nullptr;
  int rc = AllocThreadBlock(&block);
  if (rc != kEngOk) {
    g_current = was_current;
    engunserl(kFnIsamStart);
    return rc;
  }
  uint32_t user_value = block->user_value;
  *block = EngineInstance();
  block->user_value = user_value;
  std::memcpy(block->name, own, sizeof own);
  block->thread_id = platform::CurrentThreadId();
  EngineInstance* behind = was_current ? was_current : g_anchor;
  if (behind == nullptr) {
    block->next = block;
    g_anchor = block;
  } else {
    block->next = behind->next;
    behind->next = block;
  }
  g_current = block;
  return kEngOk;
}

int EngineUnregisterInstance(int flag) {
  if (flag != 0) return kEngNamedRegistration;
  if (g_current == nullptr && g_anchor == nullptr) return kEngNoInstances;
  char own[32];
  ThreadName(own, sizeof own);
  EngineInstance* inst = FindByName(own);
  if (inst == nullptr) return kEngUnknownInstance;
  EngineInstance* before = inst;
  int steps = 0;
  while (before->next != inst) {
    before = before->next;
    // A ring that never comes back to inst disagrees with itself.
    if (before == nullptr || ++steps > 1 << 20) {
      EngineFatalError(kFatalRingBroken);
      return kFatalRingBroken;
    }
  }
  if (before == inst) {
    if (inst->next != inst) {
      EngineFatalError(kFatalRingBroken);
      return kFatalRingBroken;
    }
    g_current = nullptr;
    g_anchor = nullptr;
  } else {
    before->next = inst->next;
    if (g_current == inst) g_current = before;
    if (g_anchor == inst) g_anchor = before;
  }
  if (g_parked == inst) g_parked = nullptr;
  inst->next = nullptr;
  FreeThreadBlock();
  return kEngOk;
}

EngineInstance* EngineFindInstance(const char* name) {
  if (name != nullptr) return FindByName(name);
  uint32_t id = platform::CurrentThreadId();
  return WalkRing([id](EngineInstance* i) { return i->thread_id == id; });
}

int EngineSelectInstance(const char* name) {
  EngineInstance* inst = EngineFindInstance(name);
  if (inst != nullptr) {
    g_current = inst;
    return kEngOk;
  }
  if (g_current == nullptr && g_parked == nullptr && g_anchor == nullptr) return kEngNoInstances;
  if (g_current != nullptr) g_parked = g_current;
  g_current = nullptr;
  return kEngUnknownInstance;
}

void EngineForgetAllInstances() {
  g_current = nullptr;
  g_parked = nullptr;
  g_anchor = nullptr;
}

const char* EngineCurrentInstanceName() { return g_current ? g_current->name : nullptr; }

}  // namespace isam
