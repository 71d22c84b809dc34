// The converter over the document's event array and a calendar file.
#include "storage/ical/ical_storage.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/convert/convert_texts.h"
#include "storage/event_array.h"
#include "storage/ical/ical_converter.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {

// The questions through the storage prompts (the dialogs).
class StoragePrompts : public IICalPrompts {
 public:
  int AskSkipOrCancel(const std::string& message) override {
    IStoragePrompts* p = GetStorageServices().prompts;
    return p ? p->AskSkipOrCancel(message) : kCancelImport;
  }
  bool AskYesNo(const std::string& message) override { return StorageAskYesNo(message, PromptIcon::kQuestion); }
  void ShowMessage(const std::string& message) override { StorageMessage(message, PromptIcon::kNone); }
};

// One calendar of the array as the import's target.
class CalendarTarget : public IICalTarget {
 public:
  CalendarTarget(CEventArray& events, CCalendarFile& calendar)
      : events_(events), calendar_(calendar), header_(ICalHeaderOf(&calendar)) {
    for (CCalEvent* e : events.items()) {
      if (e->calendar == &calendar && e->beingSaved) savingUid_ = e->uid;
    }
    // A move tombstones the old record through a copy the array never held.
    if (!calendar.deletingUid.empty()) savingUid_ = calendar.deletingUid;
  }
  // The text's calendar properties go back to the calendar.
  ~CalendarTarget() override {
    calendar_.name = header_.name;
    calendar_.relCalId = header_.relCalId;
    calendar_.timeZone = header_.timeZone;
  }
  CalendarTarget(const CalendarTarget&) = delete;
  CalendarTarget& operator=(const CalendarTarget&) = delete;

  ICalCalendarHeader& Header() override { return header_; }
  CCalEvent* FindEventByUid(const std::string& uid) override { return events_.FindInCalendar(&calendar_, uid); }
  bool AddEvent(std::unique_ptr<CCalEvent> event) override {
    event->calendar = &calendar_;
    CCalEvent* raw = event.release();
    if (calendar_.AddEvent(raw, 0, &events_)) return true;
    delete raw;
    return false;
  }
  // A declined overwrite is no update.
  bool UpdateEvent(CCalEvent& event) override {
    const int rc = calendar_.UpdateEvent(&event, &events_, 0, 0, 0);
    return rc != CCalendarFile::kWriteFailed && rc != CCalendarFile::kWriteDeclined;
  }
  std::string SavingUid() override { return savingUid_; }
  bool MovedAway(const std::string& uid) override {
    if (events_.FindInCalendar(&calendar_, uid) != nullptr) return false;
    for (const CCalEvent* e : events_.items())
      if (e->uid == uid && e->calendar != &calendar_) return calendar_.HoldsTombstone(uid);
    return false;
  }
  void ForgetLocalUid(const std::string& uid) override { calendar_.uidMap.erase(uid); }

 private:
  CEventArray& events_;
  CCalendarFile& calendar_;
  ICalCalendarHeader header_;
  std::string savingUid_;
};

bool ReadICalFile(CCalendarFile& calendar, CEventArray* events, const std::string& path, bool refresh, int* added,
                  int* updated) {
  if (!events) return false;
  CICalConverter converter(&StorageICalPrompts());
  const bool ok = ImportICalFileInto(converter, *events, calendar, path, refresh);
  *added = converter.GetAddedCount();
  *updated = converter.GetUpdatedCount();
  return ok;
}

}  // namespace

IICalPrompts& StorageICalPrompts() {
  static StoragePrompts prompts;
  return prompts;
}

ICalCalendarHeader ICalHeaderOf(const CCalendarFile* calendar) {
  ICalCalendarHeader h;
  if (!calendar) return h;
  h.name = calendar->name;
  h.relCalId = calendar->relCalId;
  h.timeZone = calendar->timeZone;
  h.nameFromAddress = calendar->nameFromPath != 0;
  h.publishAlarms = calendar->publishAlarms != 0;
  h.keepsOwnAlarms = calendar->published != 0 && calendar->publishAlarms == 0;
  return h;
}

std::string ExportEventICal(CICalConverter& converter, const CCalEvent& event) {
  return converter.ExportEventICal(event, ICalHeaderOf(event.calendar));
}

std::string ExportCalendarICal(CICalConverter& converter, const CEventArray& events, const CCalendarFile* calendar) {
  std::vector<const CCalEvent*> list;
  for (const CCalEvent* e : events.items()) {
    if (!calendar || (e->calendar && e->calendar->listId == calendar->listId)) list.push_back(e);
  }
  return converter.ExportCalendarICal(list, ICalHeaderOf(calendar));
}

// An import or refresh holds the calendar for the whole text, one batch,
// rather than taking its locks and flushing for every event.
bool ImportICalFileInto(CICalConverter& converter, CEventArray& events, CCalendarFile& calendar,
                        const std::string& path, bool refresh) {
  CCalendarFile::BatchScope batch(&calendar);
  CalendarTarget target(events, calendar);
  const bool ok = converter.ImportICalFile(path, target, refresh);
  // What arrived over a known UID may have changed an armed action.
  calendar.AskAboutUnprovenActions(&events);
  return ok;
}

void ImportICalStringInto(CICalConverter& converter, CEventArray& events, CCalendarFile& calendar,
                          const std::string& text, bool refresh) {
  CCalendarFile::BatchScope batch(&calendar);
  CalendarTarget target(events, calendar);
  converter.ImportICalString(text, target, refresh);
  calendar.AskAboutUnprovenActions(&events);
}

bool ImportICalFile(CICalConverter& converter, CAlmacoraDoc& document, CCalendarFile& calendar,
                    const std::string& path, bool refresh) {
  const bool ok = ImportICalFileInto(converter, document.events(), calendar, path, refresh);
  document.RecountAndRefresh();
  return ok;
}

void ImportICalString(CICalConverter& converter, CAlmacoraDoc& document, CCalendarFile& calendar,
                      const std::string& text, bool refresh) {
  ImportICalStringInto(converter, document.events(), calendar, text, refresh);
  document.RecountAndRefresh();
}

bool ImportICalFileReported(CAlmacoraDoc& document, CCalendarFile& calendar, const std::string& path) {
  CICalConverter converter(&StorageICalPrompts());
  if (!ImportICalFile(converter, document, calendar, path)) return false;
  char counts[160];
  std::snprintf(counts, sizeof counts, storage_text::kImportComplete,
                convert_text::Events(converter.GetAddedCount()).c_str(),
                convert_text::Events(converter.GetUpdatedCount()).c_str(),
                convert_text::Events(converter.GetSkippedCount()).c_str());
  if (converter.GetLog().empty()) {
    StorageMessage(counts, PromptIcon::kInformation);
  } else if (StorageAskYesNo(std::string(counts) + "\n\nView Import Log?", PromptIcon::kQuestion)) {
    if (IStoragePrompts* p = GetStorageServices().prompts) p->ShowImportLog(converter.GetLog());
  }
  return true;
}

void InstallICalStorage() { CCalendarFile::SetICalFileReader(ReadICalFile); }
