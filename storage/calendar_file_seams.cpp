// CCalendarFile: the operations higher layers install (the ".ics" reader,
// the automatic publish).
#include "storage/calendar_file.h"
#include "model/settings/program_settings.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {
CCalendarFile::ICalFileReader g_icalFileReader = nullptr;
CCalendarFile::AutoPublisher g_autoPublisher = nullptr;
}  // namespace

void CCalendarFile::SetICalFileReader(ICalFileReader reader) { g_icalFileReader = reader; }

int CCalendarFile::SubscribeLocalFile(CEventArray* events) {
  if (fileType != kMemoryOnly || g_icalFileReader == nullptr) return 0;
  int added = 0, updated = 0;
  if (!g_icalFileReader(*this, events, path, false, &added, &updated)) return 0;
  if (name.empty()) name = CProgramSettings::CalendarNameFromPath(path);
  return 1;
}

void CCalendarFile::SetAutoPublisher(AutoPublisher publisher) { g_autoPublisher = publisher; }

void CCalendarFile::AutoPublish(int publishArg) {
  if (g_autoPublisher != nullptr && publishArg != 0 && published && publishAfterSave && !refreshRunning)
    g_autoPublisher(*this, publishArg);
}

