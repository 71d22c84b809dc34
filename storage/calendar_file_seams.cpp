// CCalendarFile: the operations later steps fill in (Internet calendars,
// older event files). Until then they refuse plainly, and publishing does
// nothing.
#include "storage/calendar_file.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

int CCalendarFile::SubscribeLocalFile(CEventArray*) { return 0; }

void CCalendarFile::AutoPublish(int) {}

int CCalendarFile::ConvertOldEventFiles(CEventArray*, bool) { return 0; }

int CCalendarFile::OpenOldEventFile(CEventArray*, const std::string&) {
  StorageMessage(storage_text::kNotValidEventsFile, PromptIcon::kExclamation);
  return 0;
}
