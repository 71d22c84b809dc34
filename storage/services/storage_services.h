// Where the calendar storage finds the higher layers it calls. Each pointer
// is set by the layer that implements it (the dialogs, the shell) and may
// be null: without prompts every message is dropped and every question
// answers No (Preview, cancel); without a shell nothing is shown or
// updated. User-interface thread only.
#pragma once

#include "storage/services/storage_prompts.h"
#include "storage/services/storage_shell.h"

struct StorageServices {
  IStoragePrompts* prompts = nullptr;
  IStorageShell* shell = nullptr;
};

inline StorageServices& GetStorageServices() {
  static StorageServices services;
  return services;
}

// Sets the registry for the life of a scope and puts the previous one back.
class ScopedStorageServices {
 public:
  explicit ScopedStorageServices(const StorageServices& services) : saved_(GetStorageServices()) {
    GetStorageServices() = services;
  }
  ~ScopedStorageServices() { GetStorageServices() = saved_; }
  ScopedStorageServices(const ScopedStorageServices&) = delete;
  ScopedStorageServices& operator=(const ScopedStorageServices&) = delete;

 private:
  StorageServices saved_;
};

// Null-safe calls for the storage code.
void StorageMessage(const std::string& text, PromptIcon icon = PromptIcon::kNone);
bool StorageAskYesNo(const std::string& text, PromptIcon icon = PromptIcon::kQuestion);
void StorageUpdateAllViews(int hint, const COccurrenceRef* added = nullptr);
