// CFrameEventOperations: the main window's event operations as the views
// ask for them (IEventOperations), forwarded to CMainFrame's own members.
// The frame installs one while it exists; every operation is available.
#pragma once

#include "shell/commands/event_operations.h"

class CMainFrame;

class CFrameEventOperations : public IEventOperations {
 public:
  explicit CFrameEventOperations(CMainFrame& frame) : frame_(frame) {}

  bool IsAvailable(Operation operation) const override;
  void AddCopy(const CCalEvent& source) override;
  bool ModifyEvent(const COccurrenceRef& occurrence) override;
  bool ConfirmAcknowledge(bool oneTime) override;
  void ShowEventDetails(const COccurrenceRef& occurrence) override;
  void ExportEvent(const COccurrenceRef& occurrence) override;
  void PrintEvent(const COccurrenceRef& occurrence) override;

 private:
  CMainFrame& frame_;
};
