#include "storage/ui/sharing_hooks.h"

SharingHooks& GetSharingHooks() {
  static SharingHooks hooks;
  return hooks;
}

void ShowSharingHelp(DWORD context) {
  if (GetSharingHooks().showHelp) GetSharingHooks().showHelp(context);
}
