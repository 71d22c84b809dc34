#include "storage/convert_bridge.h"

#include "model/events/cal_event.h"
#include "storage/calendar_file.h"
#include "storage/event_array.h"
#include "storage/services/storage_services.h"

bool CalendarImportTarget::AddImportedEvent(std::unique_ptr<CCalEvent> event) {
  CCalEvent* held = nullptr;
  if (replaceSameUid_ && events_ != nullptr && !event->uid.empty())
    held = events_->FindInCalendar(calendar_, event->uid);
  if (held != nullptr) {
    *held = *event;
    const int rc = calendar_->UpdateEvent(held, events_, 1, 0, 1);
    if (rc == CCalendarFile::kWriteFailed) return false;
    // Declined: the other user's change stays; the import goes on.
    if (rc != CCalendarFile::kWriteDeclined) ++replaced_;
    return true;
  }
  event->calendar = calendar_;
  event->targetCalendarId = 0;
  CCalEvent* raw = event.release();
  const int ok = calendar_->AddEvent(raw, 0, events_);
  // Without an array the calendar keeps nothing in memory.
  if (!ok || events_ == nullptr) delete raw;
  if (ok) ++added_;
  return ok != 0;
}

void StorageConvertPrompts::ShowMessage(const std::string& text, const std::string& caption, ConvertIcon icon) {
  if (IStoragePrompts* p = GetStorageServices().prompts)
    p->ShowCaptionedMessage(text, caption, static_cast<PromptIcon>(icon));
}

bool StorageConvertPrompts::AskYesNo(const std::string& text, const std::string& caption, ConvertIcon icon) {
  IStoragePrompts* p = GetStorageServices().prompts;
  return p != nullptr && p->AskCaptionedYesNo(text, caption, static_cast<PromptIcon>(icon));
}

void StorageConvertPrompts::ShowLog(const std::string& text) {
  if (IStoragePrompts* p = GetStorageServices().prompts) p->ShowImportLog(text);
}

bool StorageConvertPrompts::SelectNewFileName(const std::string& proposed, std::string* path) {
  IStoragePrompts* p = GetStorageServices().prompts;
  return p != nullptr && p->SelectNewFileName(proposed, path);
}
