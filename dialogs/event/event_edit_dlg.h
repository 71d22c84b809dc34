// CEventEditDlg: dialog 123 "Event Edit", through which the user creates an
// event, changes a whole event (the series) or one occurrence of a
// recurring event. The opener constructs it, calls LoadEvent, runs DoModal
// and, on IDOK or the Save and New result (40050), hands the event to the
// document when SavedChanges() says the dialog wrote anything (an event of
// a read-only iCalendar calendar is shown but never written). The dialog
// never writes a file; the decisions live in dialogcore::EventEditSession.
//
// Every way the dialog ends without a save clears the event's in-edit flag
// (Cancel, Escape, the close box, and the destructor for a dialog that was
// never shown or failed to open).
#pragma once

#include <functional>
#include <initializer_list>

#include <string>

#include "dialogs/core/event_edit_session.h"
#include "dialogs/event/date_time_picker.h"
#include "dialogs/event/time_picker_edit.h"
#include "framework/dialogs/dialog.h"
#include "model/services/event_prompts.h"

class CCalEvent;

namespace dialogs {

// Puts `windows`, in their order, right after `after` among their siblings:
// controls made at run time take their place in the tab order.
void PlaceInTabOrder(std::initializer_list<HWND> windows, HWND after);

class CEventEditDlg : public framework::CDialog {
 public:
  static constexpr int kSaveAndNew = 40050;

  // `host` (not owned) gives the calendars, the conflict search and the
  // reopening of a closed calendar.
  explicit CEventEditDlg(dialogcore::IEventEditHost* host, HWND parent = nullptr);
  ~CEventEditDlg() override;

  // Before DoModal: the event (not owned) and, when the user picked one,
  // the occurrence's scheduled date. False when the user cancelled the
  // open-recurring question: the dialog must not be shown.
  bool LoadEvent(CCalEvent* event, const CDateTime* occurrence);
  // The event holds changes for the document (false for read-only events
  // and after Cancel).
  bool SavedChanges() const { return session_.Changed(); }
  dialogcore::EventEditSession& Session() { return session_; }

  // The options sheet opened on its event types page, installed by the
  // program (those dialogs sit above this library); true when it ended
  // with OK. While unset, Type Setup and Event Types stay grey.
  static std::function<bool(HWND parent)>& TypeSetupHook();
  // The "Alarm Actions" sheet on the event, installed by the program (the
  // alarm actions sit above this library). While unset, Actions and Alarm
  // Actions stay grey.
  static std::function<void(HWND parent, CCalEvent* event)>& AlarmActionsHook();

  CDateTimePicker& StartDatePicker() { return startDate_; }
  CTimePickerEdit& StartTimePicker() { return startTime_; }
  CDateTimePicker& EndDatePicker() { return endDate_; }
  CTimePickerEdit& EndTimePicker() { return endTime_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;
  void OnCancel() override;

  // The dialog's questions; tests script them.
  virtual int ShowMessage(const std::string& text, const std::string& caption, UINT flags);
  virtual WarningAnswer ShowWarning(const WarningRequest& request);
  // The open-recurring question: -1 cancel, 0 this occurrence, 1 series.
  virtual int AskOpenRecurring(const std::string& prompt);
  // The advanced dialog on the rule copy; true on OK, with *untilFollows
  // (whether the UNTIL follows the start time) brought up to date.
  virtual bool RunAdvanced(CRecurrenceRule& rule, bool readOnly, bool* untilFollows);

 private:
  // The save's questions, asked through ShowMessage.
  class Prompts : public dialogcore::IEventEditPrompts {
   public:
    explicit Prompts(CEventEditDlg& dlg) : dlg_(dlg) {}
    bool AskResetOccurrences() override;
    void RefuseEarlyOccurrence() override;
    void NotifyStartMoved() override;

   private:
    CEventEditDlg& dlg_;
  };

  // Commands.
  void OnSaveAndNew();
  void OnAdvanced();
  void OnOneTime() { OnKind(dialogcore::kOneTime); }
  void OnDaily() { OnKind(dialogcore::kDaily); }
  void OnWeekly() { OnKind(dialogcore::kWeekly); }
  void OnMonthly() { OnKind(dialogcore::kMonthly); }
  void OnYearly() { OnKind(dialogcore::kYearly); }
  void OnEasterYearly() { OnKind(dialogcore::kEasterYearly); }
  void OnAlarm();
  void OnAllDay();
  void OnShowEnd();
  void OnUpcomingDays();
  void OnTypeSetup();
  void OnAlarmActions();
  void OnHelp();
  LRESULT OnHelpKey(WPARAM, LPARAM);
  void OnStartDateChange(NMHDR*, LRESULT*);
  void OnStartTimeChange(NMHDR*, LRESULT*);
  void OnEndChange(NMHDR*, LRESULT*);
  void OnDropDown(NMHDR*, LRESULT*);

  // Handlers' work.
  void OnKind(int kind);
  void ShowKindControls(int kind);
  void CreatePickers();
  void FillCalendars();
  void ShowStart();
  void ShowEnd();
  CDateTime PickedStart() const;
  CDateTime PickedEnd() const;
  void ShowItem(int id, bool show, bool enable);
  void SetAdvancedLabel();
  void HideForOccurrence();
  void DisableForReadOnly();
  void SaveAndEnd(int result);
  // The checks before a save; true to stop.
  bool CheckDateTimes();
  bool CheckTimeConflict();

  dialogcore::IEventEditHost* host_;
  dialogcore::EventEditSession session_;
  Prompts prompts_{*this};
  bool initialising_ = false;
  bool use24Hour_ = true;
  CDateTimePicker startDate_, endDate_;
  CTimePickerEdit startTime_, endTime_;
};

}  // namespace dialogs
