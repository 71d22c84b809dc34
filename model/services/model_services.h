// Where the event model finds the higher layers it calls. Each pointer is
// set by the layer that implements it when that layer starts (the shell,
// the document, the dialogs) and cleared when it ends; tests set fakes.
// Every user must cope with a null pointer: without a shell there are no
// font objects and no message boxes, without a document nothing is saved,
// without prompts every question answers "no" / cancel.
//
// Set and read on the user-interface thread; the alarm worker thread only
// reads events and settings, never these.
#pragma once

#include "model/services/event_document.h"
#include "model/services/event_prompts.h"
#include "model/services/reminder_window.h"
#include "model/services/display_services.h"

struct ModelServices {
  IShellServices* shell = nullptr;
  IEventDocument* document = nullptr;
  IEventPrompts* prompts = nullptr;
};

// The one registry of the process.
inline ModelServices& GetModelServices() {
  static ModelServices services;
  return services;
}

// Sets the registry for the life of a scope and puts the previous one back
// (tests).
class ScopedModelServices {
 public:
  explicit ScopedModelServices(const ModelServices& services) : saved_(GetModelServices()) {
    GetModelServices() = services;
  }
  ~ScopedModelServices() { GetModelServices() = saved_; }
  ScopedModelServices(const ScopedModelServices&) = delete;
  ScopedModelServices& operator=(const ScopedModelServices&) = delete;

 private:
  ModelServices saved_;
};
