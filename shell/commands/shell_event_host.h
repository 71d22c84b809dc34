// CShellEventHost: the event operations' and the event editor's view of the
// program's document (CShellDocument and its CAlmacoraDoc).
#pragma once

#include <windows.h>

#include "shell/commands/event_operations_host.h"

class CShellDocument;

class CShellEventHost : public IEventOperationsHost, public dialogcore::IEventEditHost {
 public:
  CShellEventHost(CShellDocument* document, HWND owner) : document_(document), owner_(owner) {}

  // IEventOperationsHost.
  bool CanAddEvents() override;
  bool IsFilterActive() override;
  void SetFilterActive(bool on) override;
  void UpdateViews(int hint, void* param) override;
  int AddEvent(CCalEvent* event) override;
  int16_t SaveEventAndRefresh(CCalEvent& event) override;
  bool RemoveEvent(CCalEvent& event) override;
  CCalendarFile* DefaultCalendar() override;
  dialogcore::IEventEditHost& EditHost() override { return *this; }
  std::string ExportEventText(const CCalEvent& event) override;
  bool ChooseExportFile(const std::string& proposed, const std::string& defaultExtension, std::string* path) override;

  // dialogcore::IEventEditHost.
  std::vector<CCalendarFile*> Calendars() override;
  CCalEvent* FindConflictingEvent(const CDateTime& start, const CDateTime& end, CCalEvent* skip) override;
  bool ReopenCalendar(CCalendarFile& calendar) override;

 private:
  CShellDocument* document_;
  HWND owner_;
};
