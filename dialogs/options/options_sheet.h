// COptionsPropertySheet: "Options", the six pages over the program-wide
// settings (Startup, Event, Alarm, Warnings, Event Types, Display). The
// pages copy the settings in when first shown and back on OK; only then
// does DoModal tell the views (hint 13 when a font changed, then 11 when
// the display changed) and save every setting. Cancel leaves the settings
// as they were, apart from what a page's own buttons stored at once.
#pragma once

#include "dialogs/options/options_alarm_page.h"
#include "dialogs/options/options_display_page.h"
#include "dialogs/options/options_event_page.h"
#include "dialogs/options/options_startup_page.h"
#include "dialogs/options/options_types_page.h"
#include "dialogs/options/options_warnings_page.h"
#include "framework/dialogs/property_sheet.h"

namespace options {

class COptionsPropertySheet : public framework::CPropertySheet {
 public:
  // The page the sheet opens on (kTypesPage for the event editor's Type
  // Setup).
  enum : UINT { kStartupPage = 0, kEventPage = 1, kAlarmPage = 2, kWarningsPage = 3, kTypesPage = 4, kDisplayPage = 5 };
  static constexpr int kHintFonts = 13;
  static constexpr int kHintDisplay = 11;

  explicit COptionsPropertySheet(HWND parent = nullptr, UINT startPage = kStartupPage);

  // IDOK after OK (views told, settings saved), else the sheet's result.
  int DoModal();

  COptionsStartup startup;
  COptionsEvents events;
  COptionsAlarm alarm;
  COptionsWarnings warnings;
  COptionsType types;
  COptionsDisplay display;
};

// Runs the Options sheet over `parent` on page `startPage`; IDOK when the
// settings were changed and saved. The event editor's Type Setup opens it
// on COptionsPropertySheet::kTypesPage and refills its type list after
// IDOK.
int RunOptionsSheet(HWND parent, UINT startPage = COptionsPropertySheet::kStartupPage);

}  // namespace options
