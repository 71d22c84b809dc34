// CAlmacoraDoc: adding, saving, moving and deleting events, and keeping
// the array in step with the files.
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

// The views reload from the array; only then can events that left it be
// freed.
void CAlmacoraDoc::Refresh(const COccurrenceRef* added) {
  events_.TakeChanged();
  StorageUpdateAllViews(kHintReloadAll, added);
  events_.FreeReleased();
}

int CAlmacoraDoc::AddEvent(CCalEvent* event) {
  CCalendarFile* calendar = event->calendar;
  if (event->targetCalendarId != 0 && (calendar == nullptr || event->targetCalendarId != calendar->listId)) {
    calendar = calendars_.FindById(event->targetCalendarId);
    if (calendar == nullptr) {
      StorageMessage(storage_text::kCalendarNotOpen, PromptIcon::kInformation);
      delete event;
      return 0;
    }
  }
  if (calendar == nullptr) calendar = calendars_.GetDefaultCalendar();
  if (calendar == nullptr) {
    StorageMessage(storage_text::kNoEventFile, PromptIcon::kInformation);
    delete event;
    return 0;
  }
  if (!calendar->CanReceiveNewEvents()) {
    StorageMessage(storage_text::kCalendarNotOpen, PromptIcon::kInformation);
    delete event;
    return 0;
  }
  if (!calendar->AddEvent(event, 1, &events_)) {
    delete event;
    return 0;
  }
  const COccurrenceRef added(event, CDateTime());
  Refresh(&added);
  return 1;
}

int CAlmacoraDoc::AddOrUpdateByUid(CCalEvent* event, CCalendarFile* target) {
  CCalEvent* held = event->uid.empty() ? nullptr : events_.FindInCalendar(target, event->uid);
  if (held == nullptr) {
    event->calendar = target;
    event->targetCalendarId = 0;
    return AddEvent(event) ? 1 : 0;
  }
  *held = *event;
  delete event;
  const int16_t saved = SaveEvent(*held, 1, 0, 1);
  return saved == kSaveDeclined ? 3 : saved != 0 ? 2 : 0;
}

bool CAlmacoraDoc::DeleteEvent(int index, bool fromFile) {
  if (index < 0 || static_cast<size_t>(index) >= events_.size()) return false;
  CCalEvent* event = events_.at(static_cast<size_t>(index));
  if (fromFile) {
    const int rc = event->calendar ? event->calendar->DeleteEvent(event, &events_, 1) : CCalendarFile::kWriteFailed;
    // Declined: the user kept the other user's event; it stays.
    if (rc == CCalendarFile::kWriteDeclined) return false;
    if (rc == CCalendarFile::kWriteFailed) {
      StorageMessage(storage_text::kDeleteFailed, PromptIcon::kExclamation);
      return false;
    }
  }
  // The file's records others wrote may have moved it in the array.
  if (events_.Holds(event)) {
    events_.TakeAt(static_cast<size_t>(event->arrayIndex));
    --shownCount;
  }
  event->MarkDeleted();
  // Callers (the views, the editor) may still hold it: it is freed once
  // nobody can.
  events_.Detach(event);
  return true;
}

int16_t CAlmacoraDoc::SaveEvent(CCalEvent& event, int incrementSequence, int publishArg, int stampDtStamp) {
  CCalendarFile* calendar = event.calendar;
  if (event.targetCalendarId != 0 && (calendar == nullptr || event.targetCalendarId != calendar->listId))
    return MoveEvent(event, publishArg);
  if (calendar == nullptr) return 0;
  const int rc = calendar->UpdateEvent(&event, &events_, incrementSequence, publishArg, stampDtStamp);
  if (rc == CCalendarFile::kWriteDeclined) return kSaveDeclined;
  // Written though the lock stayed (reported): saved.
  return rc == CCalendarFile::kWriteFailed ? 0 : 1;
}

int16_t CAlmacoraDoc::MoveEvent(CCalEvent& event, int publishArg) {
  CCalendarFile* from = event.calendar;
  CCalendarFile* to = calendars_.FindById(event.targetCalendarId);
  if (to == nullptr || !to->CanReceiveNewEvents()) {
    StorageMessage(storage_text::kCalendarNotOpen, PromptIcon::kInformation);
    return 0;
  }
  // The old record's tombstone carries the event as it was stored there.
  CCalEvent tombstone;
  tombstone = event;
  tombstone.uid = event.uid;
  tombstone.sequence = event.sequence;
  tombstone.calendar = from;
  // Added to the target first: a failure leaves the event where it was.
  // The target's server has never seen it: its refresh must not offer it
  // for deletion.
  const int16_t movedIn = event.movedIn;
  event.movedIn = 1;
  if (!to->AddEvent(&event, publishArg, &events_, false)) {
    event.movedIn = movedIn;
    return 0;
  }
  // The add made the target its calendar; the array still files it under
  // the old one until it is rehomed.
  event.calendar = from;
  events_.Rehome(&event, to);
  if (from != nullptr && from->fileType == CCalendarFile::kOrdinaryFile &&
      !from->DeleteEvent(&tombstone, &events_, publishArg)) {
    StorageMessage(storage_text::kMoveFailed, PromptIcon::kExclamation);
    return 0;
  }
  return 1;
}

int16_t CAlmacoraDoc::SaveEventAndRefresh(CCalEvent& event, int incrementSequence, int publishArg, int stampDtStamp) {
  const int16_t saved = SaveEvent(event, incrementSequence, publishArg, stampDtStamp);
  RecountAndRefresh();
  return saved;
}

void CAlmacoraDoc::RecountAndRefresh() {
  shownCount = RollForwardEvents(viewMode);
  Refresh();
}

void CAlmacoraDoc::ResyncCalendars() {
  if (!resyncAllowed) return;
  for (CCalendarFile* calendar : calendars_.items()) calendar->ReadChangedEvents(&events_);
  // One update for everything this re-sync merged.
  if (events_.TakeChanged()) Refresh();
}

void CAlmacoraDoc::SetViewMode(int mode) {
  if (mode == viewMode) return;
  viewMode = mode;
  Refresh();
}

CCalEvent* CAlmacoraDoc::FindEventByUid(const std::string& uid, const CCalendarFile* calendar) const {
  return calendar ? events_.FindInCalendar(calendar, uid) : events_.FindAny(uid);
}

int CAlmacoraDoc::CountUserEvents() const {
  int n = 0;
  for (CCalEvent* e : events_.items())
    if (e->calendar && e->calendar->fileType == CCalendarFile::kOrdinaryFile && e->calendar->IsWritable()) ++n;
  return n;
}

int CAlmacoraDoc::CountSubscribedEvents() const {
  int n = 0;
  for (CCalEvent* e : events_.items())
    if (e->calendar && !e->calendar->IsWritable()) ++n;
  return n;
}

// ---- Calendars.

bool CAlmacoraDoc::OpenEventFile(const std::string& path, bool askPreview) {
  if (CCalendarFile* listed = calendars_.FindByPath(path)) {
    IStorageShell* shell = GetStorageServices().shell;
    const bool opened = shell != nullptr && shell->OpenCalendar(listed);
    if (!opened) StorageMessage(storage_text::kAlreadyOpen);
    Refresh();
    return opened;
  }
  auto* calendar = new CCalendarFile();
  const bool opened = calendar->Open(&events_, path) != 0;
  if (opened) {
    IStoragePrompts* prompts = GetStorageServices().prompts;
    if (askPreview && (prompts == nullptr || !prompts->AskAddOrPreview())) {
      calendar->openState = CCalendarFile::kPreview;
      calendar->previewFlag = 1;
    }
    calendars_.AddCalendar(calendar);
  } else {
    delete calendar;
  }
  RecountAndRefresh();
  return opened;
}

void CAlmacoraDoc::CloseEventFile(CCalendarFile* calendar) {
  if (calendar == nullptr) return;
  calendars_.RemoveById(calendar->listId);
  calendar->Close(&events_);
  delete calendar;
  RecountAndRefresh();
}

// ---- IEventDocument.

CCalendarFile* CAlmacoraDoc::GetDefaultCalendar() { return calendars_.GetDefaultCalendar(); }

int CAlmacoraDoc::GetPublishAlarmsFlag(const CCalendarFile* calendar) const {
  return calendar && calendar->publishAlarms ? 1 : 0;
}

int CAlmacoraDoc::GetCalendarCount() const { return static_cast<int>(calendars_.size()); }

CalendarListEntry CAlmacoraDoc::GetCalendarEntry(int index) const {
  CalendarListEntry entry;
  if (index < 0 || static_cast<size_t>(index) >= calendars_.size()) return entry;
  const CCalendarFile* c = calendars_.items()[static_cast<size_t>(index)];
  entry.path = c->path;
  entry.openState = c->openState;
  entry.id = c->listId;
  return entry;
}

int CAlmacoraDoc::GetDefaultCalendarId() const { return calendars_.defaultId; }
