// Subscribing, previewing, refreshing and publishing Internet calendars:
// the calendar-level operations over the transfers (transfers.h) and the
// iCalendar converter. Every operation reports its failures to the user
// and leaves the calendar as it was on failure; the local file of a
// subscription is replaced only after a whole calendar arrived.
// User-interface thread only.
#pragma once

#include <string>

class CAlmacoraDoc;
class CCalendarFile;
class CCalendarList;
class ITransferProgress;

struct RefreshCounts {
  int added = 0;
  int updated = 0;
  int deleted = 0;
};

// Fetches the address and imports it into the calendar. Not in refresh
// mode a calendar that is not held in memory gets a new event file at
// `localFile` (replacing one there) once the text is known to be a whole
// calendar. In refresh mode the calendar's events the server no longer
// has are offered for deletion (refresh-delete), unless the import was
// cancelled. False: nothing was imported (the user has been told).
bool RefreshSubscription(CAlmacoraDoc& doc, CCalendarFile& calendar, const std::string& address,
                         const std::string& localFile, bool refresh, ITransferProgress* progress,
                         RefreshCounts* counts);
// The same for a local iCalendar file (a "file:" address).
bool SubscribeLocalFile(CAlmacoraDoc& doc, CCalendarFile& calendar, const std::string& filePath,
                        const std::string& localFile, bool refresh, RefreshCounts* counts);
// A refresh of the calendar's own address that reports "Refresh Results"
// to the progress when anything changed; *closeNow tells whether the
// progress window may go at once (nothing to report, or a failure).
bool RefreshWithResults(CAlmacoraDoc& doc, CCalendarFile& calendar, ITransferProgress* progress, bool* closeNow);
// RefreshWithResults in its own progress window ("Refreshing <name>"),
// then the document recounts.
bool RefreshInWindow(CAlmacoraDoc& doc, CCalendarFile& calendar);

// Exports the calendar and uploads it to its address. On success it is
// published and subscribed, its password is forgotten unless remembered,
// and its calendar record is written (not for a calendar in memory).
bool PublishCalendar(CAlmacoraDoc& doc, CCalendarFile& calendar, ITransferProgress* progress);
// Whether the calendar's address holds a file already ("Invalid Address:
// %s" and false when it does not parse).
bool CheckPublishAddress(CCalendarFile& calendar);
// The publish dialog's Publish after its values went into the calendar: a
// file at the address asks refresh first, overwrite or cancel. True when
// published.
bool PublishFromDialog(CAlmacoraDoc& doc, CCalendarFile& calendar, ITransferProgress* dialog);
// After a save of a calendar that publishes its changes: refresh, then
// publish, but only when the refresh succeeded or the address holds no
// file yet (a failed refresh must not overwrite others' changes).
void AutoPublish(CAlmacoraDoc& doc, CCalendarFile& calendar, bool enabled);

// What the subscribe dialog hands over.
struct SubscribeForm {
  std::string name;
  bool nameFromAddress = false;
  std::string address;
  std::string userName;
  std::string password;
  bool refreshAtStartup = false;
  std::string localFile;
};
// Subscribes: `previewed` is the dialog's calendar (a calendar in preview,
// kept with its id) or null for a new one. A local file of a listed
// calendar gives "This file is already open."; an existing file asks
// before it is replaced. False: nothing changed (the preview is as it
// was, a new calendar is gone), the dialog stays.
bool SubscribeCalendar(CAlmacoraDoc& doc, CCalendarFile* previewed, const SubscribeForm& form,
                       ITransferProgress* progress);
// The local file a subscription offers for a calendar name (a name that
// may come from the address, "%2E%2E%5C" and all): a plain file name with
// ".akv", which the subscription places in the program's folder.
std::string SubscriptionFileName(const std::string& calendarName);
// The subscribe dialog's check of a name and an address: the text of the
// box when another calendar of the list has either, else empty. The
// calendar being edited does not count against itself.
std::string CheckSubscriptionNames(const CCalendarList& calendars, const CCalendarFile* editing,
                                   const std::string& name, const std::string& address);
// Previews read-only in memory; a calendar already in preview answers true
// at once. A failed preview of a new calendar leaves nothing behind.
bool PreviewCalendar(CAlmacoraDoc& doc, CCalendarFile* previewed, const SubscribeForm& form,
                     ITransferProgress* progress);

// The publish name as it goes into an address: trimmed, blanks become "-",
// "#", "?" and control characters percent-encoded; "%" stays, so a name
// read back from an address is not encoded twice.
std::string EncodePublishName(const std::string& name);
// A web server's address: the URL trimmed, "/" unless it ends in one, the
// encoded name and ".ics".
std::string WebPublishAddress(const std::string& webUrl, const std::string& publishName);

// Makes calendar files publish after saves through AutoPublish on this
// document (null uninstalls).
void InstallSharing(CAlmacoraDoc* doc);
