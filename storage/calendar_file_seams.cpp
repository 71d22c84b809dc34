// CCalendarFile: the operations later steps fill in (Internet calendars).
// Until then they refuse plainly, and publishing does nothing.
#include "storage/calendar_file.h"
#include "model/program_settings.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {
CCalendarFile::ICalFileReader g_icalFileReader = nullptr;
}  // namespace

void CCalendarFile::SetICalFileReader(ICalFileReader reader) { g_icalFileReader = reader; }

int CCalendarFile::SubscribeLocalFile(CEventArray* events) {
  if (fileType != kMemoryOnly || g_icalFileReader == nullptr) return 0;
  int added = 0, updated = 0;
  if (!g_icalFileReader(*this, events, path, false, &added, &updated)) return 0;
  if (name.empty()) name = CProgramSettings::CalendarNameFromPath(path);
  return 1;
}

void CCalendarFile::AutoPublish(int) {}

