#include "shell/commands/event_operations.h"

namespace {
IEventOperations* g_operations = nullptr;
}

IEventOperations* GetEventOperations() { return g_operations; }

IEventOperations* SetEventOperations(IEventOperations* operations) {
  IEventOperations* old = g_operations;
  g_operations = operations;
  return old;
}
