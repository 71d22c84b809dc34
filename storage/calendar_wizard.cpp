#include "storage/calendar_wizard.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/paths.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/event_array.h"
#include "storage/holiday_calendars.h"

namespace calwizard {

namespace {

bool FileExists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

bool IsOpen(const CCalendarFile& c) { return c.openState == CCalendarFile::kOpen || c.openState == CCalendarFile::kPreview; }

}  // namespace

std::vector<Row> OfferHolidayCalendars(CAlmacoraDoc& doc, CProgramSettings& settings) {
  std::vector<Row> rows;
  for (const holidays::CalendarInfo& info : holidays::kCalendars) {
    // The path the open below reads: the program folder's file.
    const std::string path = platform::ProgramFolder() + info.file;
    if (doc.calendars().FindByPath(path) != nullptr) continue;
    // A holiday file left out of the installation is no error to report.
    if (!FileExists(path)) continue;
    auto calendar = std::make_unique<CCalendarFile>();
    calendar->openState = CCalendarFile::kClosed;
    if (!calendar->Open(&doc.events(), info.file)) continue;
    CCalendarFile* listed = calendar.release();
    doc.calendars().AddCalendar(listed);
    rows.push_back(Row{listed->listId, listed->name, info.ticked});
    std::vector<std::string>& types = settings.EventTypeNames;
    if (std::find(types.begin(), types.end(), info.type) == types.end()) {
      types.push_back(info.type);
      settings.EventTypeColors.resize(types.size() - 1);
      settings.EventTypeColors.push_back(kHolidayTypeColor);
    }
  }
  return rows;
}

std::vector<Row> OfferListedCalendars(const CCalendarList& calendars) {
  std::vector<Row> rows;
  for (const CCalendarFile* c : calendars.items()) rows.push_back(Row{c->listId, c->name, IsOpen(*c)});
  return rows;
}

std::vector<Row> ClosedTicked(const CCalendarList& calendars, const std::vector<Row>& rows) {
  std::vector<Row> closed;
  for (const Row& row : rows) {
    const CCalendarFile* c = calendars.FindById(row.calendarId);
    if (row.ticked && c != nullptr && c->openState == CCalendarFile::kClosed) closed.push_back(row);
  }
  return closed;
}

void UseAlternateAddresses(CCalendarList& calendars, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    CCalendarFile* c = calendars.FindById(row.calendarId);
    if (c == nullptr || c->addressOrder != 2) continue;
    std::swap(c->address, c->alternateAddress);
    c->addressOrder = 1;
    c->WriteCalInfo();
  }
}

AlarmChoice DefaultAlarmChoice(const CProgramSettings& settings) {
  AlarmChoice choice;
  choice.enabled = settings.alarm_enabled != 0;
  choice.leadTime = std::clamp(settings.LeadTimeYearly, 0, 1000);
  choice.units = settings.LeadUnitsYearly;
  return choice;
}

int OpenWithAlarms(CAlmacoraDoc& doc, std::vector<Row>* rows, const AlarmChoice& choice, bool firstRun) {
  std::vector<CCalendarFile*> opened;
  for (auto it = rows->begin(); it != rows->end();) {
    CCalendarFile* c = doc.calendars().FindById(it->calendarId);
    if (c != nullptr && c->openState == CCalendarFile::kClosed) {
      c->openState = CCalendarFile::kOpen;
      if (!c->OpenFile(&doc.events(), c->path)) {
        c->openState = CCalendarFile::kClosed;
        c = nullptr;
      }
    }
    if (c == nullptr) {
      it = rows->erase(it);
      continue;
    }
    opened.push_back(c);
    ++it;
  }
  doc.calendars().UpdateMainWindowTitle();
  int saved = 0;
  if (choice.leadTime >= 0 && choice.leadTime <= 1000) {
    // Saves may merge other processes' records into the array: walk a copy
    // and skip what left it.
    const std::vector<CCalEvent*> events = doc.events().items();
    for (CCalEvent* event : events) {
      if (std::find(opened.begin(), opened.end(), event->calendar) == opened.end()) continue;
      if (!doc.events().Holds(event) || event->deleted) continue;
      event->alarmOn = static_cast<int16_t>(choice.enabled ? 1 : 0);
      event->SetLeadTime(choice.leadTime, choice.units);
      if (event->Save(0, 0, 0) == 1) ++saved;
    }
  }
  if (!firstRun) doc.RecountAndRefresh();
  return saved;
}

}  // namespace calwizard
