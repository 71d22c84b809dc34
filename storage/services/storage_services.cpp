#include "storage/services/storage_services.h"

void StorageMessage(const std::string& text, PromptIcon icon) {
  if (IStoragePrompts* p = GetStorageServices().prompts) p->ShowMessage(text, icon);
}

bool StorageAskYesNo(const std::string& text, PromptIcon icon) {
  IStoragePrompts* p = GetStorageServices().prompts;
  return p != nullptr && p->AskYesNo(text, icon);
}

void StorageUpdateAllViews(int hint, const COccurrenceRef* added) {
  if (IStorageShell* s = GetStorageServices().shell) s->UpdateAllViews(hint, added);
}
