// The calendar entries editor without its window: the rows of one
// calendar's events, the "Enabled" ticks the user changed, and the batch
// saves of OK and the two resets.
//
// Rows name their event by its in-memory serial number, never by pointer:
// the periodic re-sync (it runs while the dialog is open) may free events
// deleted elsewhere. Every operation looks events up through one hash of the
// document's array made for it, and skips events that are gone.
//
// Ticks the user changed are kept per event until OK or Cancel (the model
// is dropped), across refills after a reset and across calendar changes.
//
// Each save is CCalEvent::Save(1, 0, 1): no view hint and no publish per
// event. A batch ends with one RecountAndRefresh and one AutoPublish(1) per
// calendar that had a save. The first failed save (the storage has told the
// user) puts that event's old values back and stops the batch.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CAlmacoraDoc;
class CCalEvent;
class CCalendarFile;
class CProgramSettings;

namespace caledit {

// The alarm actions a reset gives every event, as the actions sheet holds
// them (plain values; the reset stores each in the event's inherit form).
struct AlarmActionValues {
  int16_t autoAcknowledge = 0;
  int16_t soundOn = 0;
  std::string soundFile;
  int32_t soundLength = 0;
  int16_t emailOn = 0;
  std::string emailTo;
  std::string emailSubject;
  std::string emailBody;
  int16_t runOn = 0;
  int16_t runAtAlarm = 0;
  int16_t runAtSnooze = 0;
  std::string runFile;
  std::string runParameters;
  int32_t runWindowState = 0;
};

// The program's default alarm actions.
AlarmActionValues DefaultActions(const CProgramSettings& settings);

struct Row {
  int32_t serial = 0;
  int checked = 1;  // "Enabled": 1 on, 0 off
  std::string name;
  std::string type;
  std::string notes;
};

// How a batch ended.
struct BatchResult {
  int saved = 0;
  bool failed = false;  // a save failed; the batch stopped there
};

constexpr int kMaxLeadTime = 1000;

class CCalEditModel {
 public:
  explicit CCalEditModel(CAlmacoraDoc* document);

  // The calendars offered (open state 1), in list order: (list id, name).
  std::vector<std::pair<int, std::string>> Calendars() const;
  // The position in Calendars() of the calendar to show first: that of
  // `initialId`, the first for -1 or an id not offered; -1 when none is.
  int InitialIndex(int initialId) const;

  // Shows the calendar of that id (-1: none) and fills the rows.
  void SelectCalendar(int id);
  int calendarId() const { return calendarId_; }

  // Rows of the selected calendar's events in document order, then sorted
  // by name without regard to case (stable). Changed ticks are kept.
  void Fill();
  const std::vector<Row>& rows() const { return rows_; }
  // The user ticked or unticked a row (ignored for a row out of range).
  void SetChecked(size_t row, int checked);
  // The row's event, or null when it is gone.
  CCalEvent* EventOf(size_t row) const;

  // OK: every event whose kept tick differs from its enabled state gets the
  // disabled flag (1 unticked) and is saved; the rest are not touched.
  BatchResult ApplyTicks();
  // Every row's event gets the alarm flag, the lead time and the actions
  // (each stored against the program default). A lead time outside
  // 0..kMaxLeadTime changes nothing. Fills the rows again.
  BatchResult ResetAlarms(int alarmEnabled, int leadTime, const std::string& leadUnits,
                          const AlarmActionValues& actions, const CProgramSettings& settings);
  // Every row's event gets the type. Fills the rows again.
  BatchResult ResetTypes(const std::string& type);

 private:
  using EventHash = std::unordered_map<int32_t, CCalEvent*>;
  EventHash HashEvents() const;
  CCalendarFile* SelectedCalendar() const;
  // Runs `change` on each event of `serials` still held, saving it; `undo`
  // puts the old values back when its save fails. Ends the batch.
  template <typename Change>
  BatchResult RunBatch(const std::vector<int32_t>& serials, Change change);

  CAlmacoraDoc* document_;
  int calendarId_ = -1;
  std::vector<Row> rows_;
  std::unordered_map<int32_t, int> ticks_;  // serial -> tick the user set
};

}  // namespace caledit
