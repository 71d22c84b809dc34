#include "dialogs/small/help_hook.h"

namespace dialogs {

namespace {
HelpTopicFn g_hook = nullptr;
}

HelpTopicFn SetHelpTopicHook(HelpTopicFn fn) {
  HelpTopicFn old = g_hook;
  g_hook = fn;
  return old;
}

void ShowHelpTopic(DWORD context) {
  if (g_hook) g_hook(context);
}

}  // namespace dialogs
