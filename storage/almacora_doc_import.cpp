// CAlmacoraDoc: the vCalendar and delimited text imports into one calendar.
#include <cstdio>

#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/convert/convert_texts.h"
#include "storage/convert/text_import.h"
#include "storage/convert/vcal_import.h"
#include "storage/convert_bridge.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {

// A calendar that cannot take events is refused before anything is read.
bool CanImportInto(CCalendarFile* calendar) {
  if (calendar != nullptr && calendar->CanReceiveNewEvents()) return true;
  StorageMessage(storage_text::kCalendarNotOpen, PromptIcon::kInformation);
  return false;
}

}  // namespace

void CAlmacoraDoc::ImportVCalendar(const std::string& path, CCalendarFile* calendar) {
  if (!CanImportInto(calendar)) return;
  CalendarImportTarget target(calendar, &events_, true);
  VCalImportCounts counts;
  bool read = false;
  {
    CCalendarFile::BatchScope batch(calendar);
    read = ImportVCalendarFile(path, &target, &counts);
  }
  if (!read) {
    StorageMessage(storage_text::kErrorOpeningFile, PromptIcon::kInformation);
    return;
  }
  // An event replaced over a known UID may have changed an armed action.
  calendar->AskAboutUnprovenActions(&events_);
  if (target.added() + target.replaced() > 0) {
    calendar->AutoPublish(1);
    Refresh();
  }
  // Events met but not stored: without a start, or refused by the calendar
  // (which said why).
  const int skipped = counts.events - target.added() - target.replaced();
  char text[160];
  std::snprintf(text, sizeof text, storage_text::kImportComplete, convert_text::Events(target.added()).c_str(),
                convert_text::Events(target.replaced()).c_str(), convert_text::Events(skipped).c_str());
  StorageMessage(text, PromptIcon::kInformation);
}

void CAlmacoraDoc::ImportTextFile(CCalendarFile* calendar, const std::string& path) {
  if (!CanImportInto(calendar)) return;
  CalendarImportTarget target(calendar, &events_, false);
  StorageConvertPrompts prompts;
  TextImportResult result;
  bool read = false;
  {
    CCalendarFile::BatchScope batch(calendar);
    read = RunTextImport(path, TextImportOptions::FromSettings(), &target, &prompts, &result);
  }
  if (!read) return;
  calendar->AskAboutUnprovenActions(&events_);
  if (target.added() > 0) calendar->AutoPublish(1);
  RecountAndRefresh();
}
