// CShellDocument: the framework document of the program's one template.
//
// It owns the storage core's window-free document (CAlmacoraDoc), which
// holds the calendars and every loaded event, and is the shell's side of
// it: the storage calls back through IStorageShell (all-views updates, the
// window title and start-up show command, the calendar windows), which this
// document implements. Constructing it runs the storage start-up with the
// program's command line, as File New does.
#pragma once

#include <memory>
#include <string>

#include "framework/docview/document.h"
#include "shell/core/cal_page.h"
#include "storage/almacora_doc.h"
#include "storage/services/storage_shell.h"
#include "storage/ui/wininet_transport.h"

class CShellDocument : public framework::CDocument, public ICalPageSource, private IStorageShell {
 public:
  CShellDocument();
  ~CShellDocument() override;

  CAlmacoraDoc& Core() { return core_; }

  // A calendar file handed over or chosen in the Open dialog: one already
  // listed is only opened when it is closed (left alone when open);
  // otherwise the document opens the file (the Add-or-Preview question
  // when `askPreview`).
  void OpenCalendarFile(const std::string& path, bool askPreview);

  // 1 all events, 0 upcoming only (GetDisplayMode below); a change
  // reloads every view (hint 3).
  void SetViewMode(int mode) { core_.SetViewMode(mode); }
  bool IsTypeFilterActive() const { return core_.filterOn != 0; }
  void SetTypeFilterActive(bool on) { core_.filterOn = on ? 1 : 0; }
  int CountUserEvents() const { return core_.CountUserEvents(); }
  int CountSubscribedEvents() const { return core_.CountSubscribedEvents(); }
  int GetWarningCount() const { return core_.warningCount; }
  bool IsStartupCancelled() const { return core_.startupFailed != 0; }
  void SetStartupCancelled() { core_.startupFailed = 1; }
  void RecountAndRefresh() { core_.RecountAndRefresh(); }
  void ResetAllEvents() { core_.ResetAllEvents(); }
  // Counts the storage's view updates (any change to the loaded events).
  unsigned GetChangeSerial() const { return changeSerial_; }

  // ICalPageSource: the calendar pages read the events through these.
  const std::vector<CCalEvent*>& GetPageEvents() const override { return const_cast<CAlmacoraDoc&>(core_).events().items(); }
  int IsTypeHidden(const std::string& type) const override { return core_.IsTypeHidden(type); }
  int GetDisplayMode() const override { return core_.viewMode != 0 ? 1 : 0; }
  // The document's own page: the day views build it for the month they
  // show; the mini month reads it for its bold days.
  CCalPage& GetCalPage() { return calPage_; }

 private:
  // IStorageShell.
  void UpdateAllViews(int hint, const COccurrenceRef* added) override;
  bool OpenCalendar(CCalendarFile* calendar) override;
  bool SubscribeToUrl(const std::string& address) override;
  void RunCalendarWizard(bool firstRun) override;
  void SetMainWindowTitle(const std::string& title) override;
  void SetShowCommand(StartupShow show) override;
  void OfferTypeColors(const std::map<std::string, std::string>& typeMarks) override;

 public:
  using framework::CDocument::UpdateAllViews;

 private:
  unsigned changeSerial_ = 0;
  IStorageShell* previousShell_ = nullptr;
  ICalendarTransport* previousTransport_ = nullptr;
  CWinInetTransport transport_;
  CAlmacoraDoc core_;
  CCalPage calPage_;
};
