// The replaceable end of the fatal path; the box and the exit themselves
// are per side (ShowFatalBox, EndProcess in fatal_*.cpp).
#include "platform/fatal.h"

#include <atomic>

namespace platform {

void ShowSystemMessageBox(const char* message);  // per side

namespace {
std::atomic<FatalHook> g_fatal_hook{nullptr};
std::atomic<MessageHook> g_message_hook{nullptr};
}  // namespace

FatalHook SetFatalHook(FatalHook hook) { return g_fatal_hook.exchange(hook); }

void FatalExit(const char* message, int exit_code) {
  FatalHook hook = g_fatal_hook.load();
  if (hook != nullptr) {
    hook(message, exit_code);
    return;
  }
  ShowSystemMessageBox(message);
  EndProcess(exit_code);
}

MessageHook SetMessageHook(MessageHook hook) { return g_message_hook.exchange(hook); }

void ShowErrorMessage(const char* message) {
  MessageHook hook = g_message_hook.load();
  if (hook != nullptr) {
    hook(message);
    return;
  }
  ShowSystemMessageBox(message);
}

}  // namespace platform
