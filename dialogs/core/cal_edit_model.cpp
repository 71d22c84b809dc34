#include "dialogs/core/cal_edit_model.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <set>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_batches.h"
#include "storage/calendar_file.h"

namespace caledit {

namespace {

std::string Folded(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

int EnabledOf(const CCalEvent& event) { return event.disabled == 0 ? 1 : 0; }

}  // namespace

AlarmActionValues DefaultActions(const CProgramSettings& s) {
  AlarmActionValues a;
  a.autoAcknowledge = s.AutoAcknowledge;
  a.soundOn = s.AlarmSoundEnabled;
  a.soundFile = s.AlarmSoundFile;
  a.soundLength = s.AlarmLength;
  a.emailOn = s.AlarmEmailEnabled;
  a.emailTo = s.EmailTo;
  a.emailSubject = s.EmailSubject;
  a.emailBody = s.EmailBody;
  a.runOn = s.AlarmRunEnabled;
  a.runAtAlarm = s.RunAlarm;
  a.runAtSnooze = s.RunSnooze;
  a.runFile = s.RunFilename;
  a.runParameters = s.RunParms;
  a.runWindowState = s.RunState;
  return a;
}

CCalEditModel::CCalEditModel(CAlmacoraDoc* document) : document_(document) {}

std::vector<std::pair<int, std::string>> CCalEditModel::Calendars() const {
  std::vector<std::pair<int, std::string>> out;
  for (const CCalendarFile* calendar : document_->calendars().items())
    if (calendar->openState == CCalendarFile::kOpen) out.emplace_back(calendar->listId, calendar->name);
  return out;
}

int CCalEditModel::InitialIndex(int initialId) const {
  const auto calendars = Calendars();
  if (calendars.empty()) return -1;
  for (size_t i = 0; i < calendars.size(); ++i)
    if (calendars[i].first == initialId) return static_cast<int>(i);
  return 0;
}

void CCalEditModel::SelectCalendar(int id) {
  calendarId_ = id;
  Fill();
}

CCalendarFile* CCalEditModel::SelectedCalendar() const {
  return calendarId_ < 0 ? nullptr : document_->calendars().FindById(calendarId_);
}

void CCalEditModel::Fill() {
  rows_.clear();
  const CCalendarFile* calendar = SelectedCalendar();
  if (calendar == nullptr) return;
  for (CCalEvent* event : document_->events().items()) {
    if (event->calendar != calendar) continue;
    Row row;
    row.serial = event->serial;
    const auto kept = ticks_.find(event->serial);
    row.checked = kept != ticks_.end() ? kept->second : EnabledOf(*event);
    row.name = event->name;
    row.type = event->type;
    row.notes = event->notes;
    rows_.push_back(std::move(row));
  }
  std::vector<std::string> keys;
  std::vector<size_t> order(rows_.size());
  keys.reserve(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) {
    order[i] = i;
    keys.push_back(Folded(rows_[i].name));
  }
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_ = std::move(sorted);
}

void CCalEditModel::SetChecked(size_t row, int checked) {
  if (row >= rows_.size()) return;
  rows_[row].checked = checked != 0 ? 1 : 0;
  ticks_[rows_[row].serial] = rows_[row].checked;
}

CCalEditModel::EventHash CCalEditModel::HashEvents() const {
  EventHash hash;
  hash.reserve(document_->events().size());
  for (CCalEvent* event : document_->events().items()) hash.emplace(event->serial, event);
  return hash;
}

CCalEvent* CCalEditModel::EventOf(size_t row) const {
  if (row >= rows_.size()) return nullptr;
  for (CCalEvent* event : document_->events().items())
    if (event->serial == rows_[row].serial) return event;
  return nullptr;
}

template <typename Change>
BatchResult CCalEditModel::RunBatch(const std::vector<int32_t>& serials, Change change) {
  BatchResult result;
  const EventHash hash = HashEvents();
  std::vector<CCalendarFile*> saved;
  // One batch a calendar: its rewrites reach the disk with one flush. A
  // batch whose end fails puts back, in memory, every event whose rewrite
  // did not land (the calendar has told the user), so what is shown is
  // what is stored; the saves that did land stay.
  CalendarBatches batches;
  for (int32_t serial : serials) {
    const auto found = hash.find(serial);
    if (found == hash.end()) continue;
    CCalEvent* event = found->second;
    // A save may merge a delete made elsewhere: that event leaves the array
    // (its memory stays until the views are refreshed) and is skipped.
    if (!document_->events().Holds(event) || event->deleted) continue;
    std::function<void()> undo = change(event);
    if (!undo) continue;
    batches.Join(event->calendar);
    if (event->Save(1, 0, 1) == 0) {
      undo();
      result.failed = true;
      break;
    }
    ++result.saved;
    if (event->calendar != nullptr && std::find(saved.begin(), saved.end(), event->calendar) == saved.end())
      saved.push_back(event->calendar);
  }
  if (!batches.End()) result.failed = true;
  if (result.saved > 0) {
    document_->RecountAndRefresh();
    for (CCalendarFile* calendar : saved) calendar->AutoPublish(1);
  }
  return result;
}

BatchResult CCalEditModel::ApplyTicks() {
  std::vector<int32_t> serials;
  for (const auto& tick : ticks_) serials.push_back(tick.first);
  std::sort(serials.begin(), serials.end());
  const BatchResult result = RunBatch(serials, [this](CCalEvent* event) -> std::function<void()> {
    const int tick = ticks_[event->serial];
    if (tick == EnabledOf(*event)) return nullptr;
    const int16_t old = event->disabled;
    event->disabled = static_cast<int16_t>(tick == 0 ? 1 : 0);
    return [event, old] { event->disabled = old; };
  });
  if (!result.failed) ticks_.clear();
  return result;
}

BatchResult CCalEditModel::ResetAlarms(int alarmEnabled, int leadTime, const std::string& leadUnits,
                                       const AlarmActionValues& a, const CProgramSettings& s) {
  if (leadTime < 0 || leadTime > kMaxLeadTime) return BatchResult{};
  std::vector<int32_t> serials;
  for (const Row& row : rows_) serials.push_back(row.serial);
  const BatchResult result = RunBatch(serials, [&](CCalEvent* event) -> std::function<void()> {
    struct Old {
      int16_t alarmOn, autoAcknowledge, soundOn, soundLength, emailOn, runOn, runAtAlarm, runAtSnooze;
      CDuration leadTime;
      std::string soundFile, emailTo, emailSubject, emailBody, runFile, runParameters;
      int32_t runWindowState;
    };
    auto old = std::make_shared<Old>(Old{event->alarmOn, event->autoAcknowledge, event->soundOn, event->soundLength,
                                         event->emailOn, event->runOn, event->runAtAlarm, event->runAtSnooze,
                                         event->leadTime, event->alarmSoundFile, event->emailTo, event->emailSubject,
                                         event->emailBody, event->runFile, event->runParameters,
                                         event->runWindowState});
    event->alarmOn = static_cast<int16_t>(alarmEnabled != 0 ? 1 : 0);
    event->SetLeadTime(leadTime, leadUnits);
    event->autoAcknowledge = ToInherited(a.autoAcknowledge, s.AutoAcknowledge);
    event->soundOn = ToInherited(a.soundOn, s.AlarmSoundEnabled);
    event->alarmSoundFile = ToInheritedText(a.soundFile, s.AlarmSoundFile);
    event->soundLength = static_cast<int16_t>(ToInheritedInt(a.soundLength, s.AlarmLength));
    event->emailOn = ToInherited(a.emailOn, s.AlarmEmailEnabled);
    event->emailTo = ToInheritedText(a.emailTo, s.EmailTo);
    event->emailSubject = ToInheritedText(a.emailSubject, s.EmailSubject);
    event->emailBody = ToInheritedText(a.emailBody, s.EmailBody);
    event->runOn = ToInherited(a.runOn, s.AlarmRunEnabled);
    event->runAtAlarm = ToInherited(a.runAtAlarm, s.RunAlarm);
    event->runAtSnooze = ToInherited(a.runAtSnooze, s.RunSnooze);
    event->runFile = ToInheritedText(a.runFile, s.RunFilename);
    event->runParameters = ToInheritedText(a.runParameters, s.RunParms);
    event->runWindowState = ToInheritedInt(a.runWindowState, s.RunState);
    event->armRequested = 1;
    return [event, old] {
      event->armRequested = 0;
      event->alarmOn = old->alarmOn;
      event->autoAcknowledge = old->autoAcknowledge;
      event->soundOn = old->soundOn;
      event->soundLength = old->soundLength;
      event->emailOn = old->emailOn;
      event->runOn = old->runOn;
      event->runAtAlarm = old->runAtAlarm;
      event->runAtSnooze = old->runAtSnooze;
      event->leadTime = old->leadTime;
      event->alarmSoundFile = old->soundFile;
      event->emailTo = old->emailTo;
      event->emailSubject = old->emailSubject;
      event->emailBody = old->emailBody;
      event->runFile = old->runFile;
      event->runParameters = old->runParameters;
      event->runWindowState = old->runWindowState;
    };
  });
  Fill();
  return result;
}

BatchResult CCalEditModel::ResetTypes(const std::string& type) {
  std::vector<int32_t> serials;
  for (const Row& row : rows_) serials.push_back(row.serial);
  const BatchResult result = RunBatch(serials, [&type](CCalEvent* event) -> std::function<void()> {
    auto old = std::make_shared<std::string>(event->type);
    event->type = type;
    return [event, old] { event->type = *old; };
  });
  Fill();
  return result;
}

}  // namespace caledit
