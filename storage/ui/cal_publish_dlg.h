// CCalPublishDlg: dialog 342 "Publish Calendar": where and how a calendar
// is published, on the Skyledger service or on a web (or FTP) server. The
// full address is rebuilt as the user types; Publish checks the fields,
// stores the defaults when "Save as Default" is ticked, copies address,
// login and the two publishing boxes into the calendar and publishes with
// this dialog as the progress window (a file at the address asks first).
// DoModal: IDOK once published, IDCANCEL otherwise.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"

class CAlmacoraDoc;
class CCalendarFile;

// The Skyledger service: its base address for publishing and its home page.
namespace skyledger {
constexpr char kDomain[] = "skyledger.com";
constexpr char kPublishBase[] = "http://www.skyledger.com/calendars/";
constexpr char kHomePage[] = "http://www.skyledger.com/";
}  // namespace skyledger

class CCalPublishDlg : public framework::CDialog {
 public:
  CCalPublishDlg(CAlmacoraDoc& doc, CCalendarFile& calendar, HWND parent = nullptr);

  enum Target { kService = 0, kWebServer = 1 };

  std::string publishName;
  int target = kService;
  int privateCalendar = 0;
  std::string webUrl;
  std::string userName;
  std::string password;
  std::string fullAddress;
  int publishAlarms = 0;
  int publishAuto = 0;
  int saveAsDefault = 0;

  // The address the fields give (empty for the service without a user).
  std::string BuildAddress() const;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  // While the dialog's own transfer runs, Cancel (Escape, the close box)
  // ends the transfer and the dialog stays.
  void OnCancel() override;
  BOOL OnInitDialog() override;
  void DoDataExchange(framework::CDataExchange& dx) override;
  void OnOK() override;

 private:
  // The start values from the calendar or the stored defaults.
  void LoadStartValues();
  void ShowTarget();
  void OnTargetChange();
  void OnFieldChange();
  void OnLink();
  void OnHelpButton();
  LRESULT OnHelpKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnSteps(WPARAM wParam, LPARAM lParam);
  LRESULT OnStep(WPARAM wParam, LPARAM lParam);

  CAlmacoraDoc& doc_;
  CCalendarFile& calendar_;
  bool ready_ = false;
};
