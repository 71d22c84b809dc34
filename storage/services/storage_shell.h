// What the calendar storage asks of the application shell: the all-views
// update, the main window's title and show command, and the calendar
// windows it opens (calendar manager, subscribe dialog, calendar wizard).
// The shell implements IStorageShell and registers it in StorageServices
// (storage_services.h); tests register a fake.
#pragma once

#include <map>
#include <string>

class CCalendarFile;
class COccurrenceRef;

// Show commands the document may set for the main window.
enum class StartupShow { kUnchanged = -1, kHidden = 0, kNormal = 1, kMinimized = 2, kMaximized = 3 };

class IStorageShell {
 public:
  virtual ~IStorageShell() = default;

  // The class library's all-views update with a view hint; `added` names
  // the event just added (hint 3 after an add), else null.
  virtual void UpdateAllViews(int hint, const COccurrenceRef* added) = 0;
  // Opens a listed calendar through the calendar manager; false at once
  // when it is already open (open state 1 or 3).
  virtual bool OpenCalendar(CCalendarFile* calendar) = 0;
  // The subscribe dialog preset with a "/webcal" address; true when the
  // calendar was subscribed.
  virtual bool SubscribeToUrl(const std::string& address) = 0;
  // The "Calendar Wizard" property sheet (first-run mode when asked).
  virtual void RunCalendarWizard(bool firstRun) = 0;
  // The main window's title, when the window exists.
  virtual void SetMainWindowTitle(const std::string& title) = 0;
  // The show command the main window starts with.
  virtual void SetShowCommand(StartupShow show) = 0;
  // "Event Type Colors", offered after a subscription or refresh over the
  // network with the importer's type names (name -> "EXIST" or "NEW").
  virtual void OfferTypeColors(const std::map<std::string, std::string>& /*typeMarks*/) {}
};
