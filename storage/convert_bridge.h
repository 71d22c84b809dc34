// Where the storage core meets storage/convert: the import target over a
// calendar file, and the converters' prompts over the storage prompts.
#pragma once

#include <memory>
#include <string>

#include "storage/convert/convert_prompts.h"
#include "storage/convert/import_target.h"

class CCalendarFile;
class CEventArray;

// Events into one calendar file through its add operation, without
// publishing (the caller publishes once per run). With replaceSameUid an
// event whose UID the calendar holds in the array gives that event its
// fields and rewrites its record instead.
class CalendarImportTarget : public IImportTarget {
 public:
  CalendarImportTarget(CCalendarFile* calendar, CEventArray* events, bool replaceSameUid)
      : calendar_(calendar), events_(events), replaceSameUid_(replaceSameUid) {}
  bool AddImportedEvent(std::unique_ptr<CCalEvent> event) override;
  int added() const { return added_; }
  int replaced() const { return replaced_; }

 private:
  CCalendarFile* calendar_;
  CEventArray* events_;
  bool replaceSameUid_;
  int added_ = 0;
  int replaced_ = 0;
};

// The converters' questions through GetStorageServices().prompts (null:
// dropped, No, cancelled).
class StorageConvertPrompts : public IConvertPrompts {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, ConvertIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption, ConvertIcon icon) override;
  void ShowLog(const std::string& text) override;
  bool SelectNewFileName(const std::string& proposed, std::string* path) override;
};
