// Subscribe, preview and refresh: fetch, check the text is a whole
// calendar, then (and only then) touch the calendar and its file.
#include <cctype>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/local_path.h"
#include "platform/os_file.h"
#include "platform/paths.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_address.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/event_array.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_storage.h"
#include "storage/services/storage_services.h"
#include "storage/services/transfer_progress.h"
#include "storage/sharing/calendar_url.h"
#include "storage/sharing/sharing.h"
#include "storage/sharing/sharing_texts.h"
#include "storage/sharing/transfer_common.h"
#include "storage/sharing/transfers.h"

using namespace sharing_detail;

namespace {

// Whether a line of the text, from `from`, is `word` (case-insensitive,
// line end and trailing blanks allowed).
bool LineIs(const std::string& text, size_t from, const char* word) {
  size_t i = from;
  for (const char* w = word; *w; ++w, ++i) {
    if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != *w) return false;
  }
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
  return i == text.size() || text[i] == '\n';
}

// A BEGIN:VCALENDAR line with an END:VCALENDAR line after it: an HTML page,
// an empty or a cut body is not a calendar.
bool HoldsWholeCalendar(const std::string& text) {
  bool begun = false;
  for (size_t at = 0; at < text.size();) {
    if (!begun && LineIs(text, at, "BEGIN:VCALENDAR")) begun = true;
    else if (begun && LineIs(text, at, "END:VCALENDAR")) return true;
    const size_t nl = text.find('\n', at);
    if (nl == std::string::npos) break;
    at = nl + 1;
  }
  return false;
}

void FillUidSet(CAlmacoraDoc& doc, CCalendarFile& calendar) {
  calendar.uidMap.clear();
  for (const CCalEvent* e : doc.events().items())
    if (e->calendar == &calendar && !e->beingSaved && !e->movedIn) calendar.uidMap[e->uid] = e->uid;
}

// The question's text when the deletions would take all or half or more
// of what the server gave the calendar (nothing is ticked then); empty
// otherwise (all ticked). Half is no longer "a few": one key would take
// half the calendar.
std::string WipeWarning(CAlmacoraDoc& doc, const CCalendarFile& calendar, size_t offered) {
  int total = 0;
  for (const CCalEvent* e : doc.events().items())
    if (e->calendar == &calendar && !e->movedIn) ++total;
  const int lost = static_cast<int>(offered);
  char text[400];
  if (lost >= total) {
    std::snprintf(text, sizeof text, sharing_text::kServerEmpty, lost);
  } else if (lost * 2 >= total) {
    std::snprintf(text, sizeof text, sharing_text::kServerLostMost, lost, total);
  } else {
    return std::string();
  }
  return text;
}

// Offers the calendar's events the server no longer has; deletes the ticked
// ones still there when the user says so. The dialog holds UIDs only: an
// event deleted meanwhile is simply not found. When all or half or more
// of the calendar would go (an empty or a broken server calendar), the question
// says so and starts with nothing ticked: no single key wipes it.
int OfferDeletions(CAlmacoraDoc& doc, CCalendarFile& calendar) {
  std::vector<RefreshDeleteItem> items;
  for (const auto& entry : calendar.uidMap) {
    if (const CCalEvent* e = doc.events().FindInCalendar(&calendar, entry.first))
      items.push_back({entry.first, e->name});
  }
  calendar.uidMap.clear();
  IStoragePrompts* prompts = GetStorageServices().prompts;
  if (items.empty() || prompts == nullptr) return 0;
  const std::string warning = WipeWarning(doc, calendar, items.size());
  std::vector<bool> ticked(items.size(), warning.empty());
  if (!prompts->ChooseEventsToDelete(items, warning, &ticked)) return 0;
  int deleted = 0;
  for (size_t i = 0; i < items.size() && i < ticked.size(); ++i) {
    if (!ticked[i]) continue;
    CCalEvent* e = doc.events().FindInCalendar(&calendar, items[i].uid);
    if (e && doc.DeleteEvent(e->arrayIndex, true)) ++deleted;
  }
  return deleted;
}

bool Fetch(CCalendarFile& calendar, const CalendarUrl& url, std::string* text, ITransferProgress* progress) {
  return url.IsFtp() ? FtpDownloadCalendar(calendar, url, text, progress)
                     : HttpSubscribeCalendar(calendar, url, text, progress);
}

// The step a subscribe or refresh ends on when nothing was imported: the
// bar empties and says why, where a full bar would claim success.
void StepFailed(ITransferProgress* progress) {
  Step(progress, 0, TransferCancelled() ? transfer_step::kRefreshCancelled : transfer_step::kRefreshFailed);
}

// A new local file is filled under a staging name, held alone, and put in
// place of the local file only once it holds the whole calendar: a failure
// on the way leaves the old local file as it was. False (reported) when the
// staged file cannot be made.
bool StartFilling(CCalendarFile& calendar, const std::string& localFile) {
  if (!calendar.CreateFile(localFile + ".new~")) return false;
  calendar.HoldAlone();
  return true;
}

// Puts a filled staged file in its place, opened shared. When that fails
// (the user has been told) the file is gone: the events just added go too,
// so nothing is left that no file holds.
bool CommitFilledFile(CAlmacoraDoc& doc, CCalendarFile& calendar, const std::string& localFile) {
  if (calendar.CommitFilled(localFile)) return true;
  doc.events().FreeEventsOf(&calendar);
  return false;
}

// After an import: what it added and updated, and on a refresh the events
// it no longer found, offered for deletion.
void EndImport(CAlmacoraDoc& doc, CCalendarFile& calendar, const CICalConverter& converter, bool refresh,
               RefreshCounts* counts) {
  RefreshCounts got;
  got.added = converter.GetAddedCount();
  got.updated = converter.GetUpdatedCount();
  if (refresh && !converter.IsCancelled()) got.deleted = OfferDeletions(doc, calendar);
  calendar.uidMap.clear();
  if (counts) *counts = got;
}

bool RefreshImpl(CAlmacoraDoc& doc, CCalendarFile& calendar, const std::string& address,
                 const std::string& localFile, bool refresh, ITransferProgress* progress, RefreshCounts* counts,
                 const std::function<void()>& beforeChange) {
  BeginTransfer();
  CalendarUrl url;
  if (!SplitCalendarUrl(address, &url)) {
    StorageMessage(Format(sharing_text::kInvalidWebcal, AddressWithoutLogin(TrimAddress(address))),
                   PromptIcon::kError);
    StepFailed(progress);
    return false;
  }
  if (url.IsFile()) {
    // The address may come from a calendar file made elsewhere: another
    // computer's file is not opened.
    if (!platform::IsLocalPath(url.path)) {
      StorageMessage(platform::RefusedPathText("The calendar file", url.path), PromptIcon::kError);
      StepFailed(progress);
      return false;
    }
    if (beforeChange) beforeChange();
    return SubscribeLocalFile(doc, calendar, url.path, localFile, refresh, counts);
  }
  std::string text;
  bool ok = Fetch(calendar, url, &text, progress);
  if (ok && !HoldsWholeCalendar(text)) {
    StorageMessage(sharing_text::kNotWhole, PromptIcon::kError);
    ok = false;
  }
  if (!ok) {
    StepFailed(progress);
    return false;
  }
  Step(progress, 4, transfer_step::kProcessing);
  if (beforeChange) beforeChange();
  // A new local file is filled while this process holds it alone.
  const bool filling = !refresh && calendar.fileType != CCalendarFile::kMemoryOnly;
  if (refresh) {
    FillUidSet(doc, calendar);
  } else if (filling && !StartFilling(calendar, localFile)) {
    StepFailed(progress);
    return false;
  }
  CICalConverter converter(&StorageICalPrompts());
  ImportICalStringInto(converter, doc.events(), calendar, text, refresh);
  if (filling && !CommitFilledFile(doc, calendar, localFile)) {
    StepFailed(progress);
    return false;
  }
  EndImport(doc, calendar, converter, refresh, counts);
  Step(progress, 5, transfer_step::kRefreshComplete);
  if (IStorageShell* shell = GetStorageServices().shell) shell->OfferTypeColors(converter.GetTypeNames());
  return true;
}

// Quotes go; a bare file name lives in the program's folder.
std::string LocalPath(const std::string& raw) {
  std::string p;
  for (char c : raw)
    if (c != '"') p += c;
  if (!p.empty() && !platform::HasFolderPart(p)) p = platform::ProgramFolder() + p;
  return p;
}

}  // namespace

bool RefreshSubscription(CAlmacoraDoc& doc, CCalendarFile& calendar, const std::string& address,
                         const std::string& localFile, bool refresh, ITransferProgress* progress,
                         RefreshCounts* counts) {
  return RefreshImpl(doc, calendar, address, localFile, refresh, progress, counts, nullptr);
}

bool SubscribeLocalFile(CAlmacoraDoc& doc, CCalendarFile& calendar, const std::string& filePath,
                        const std::string& localFile, bool refresh, RefreshCounts* counts) {
  const bool filling = !refresh && calendar.fileType != CCalendarFile::kMemoryOnly;
  if (!refresh) {
    if (!filling) calendar.path = filePath;
    else if (!StartFilling(calendar, localFile)) return false;
  }
  if (refresh) FillUidSet(doc, calendar);
  CICalConverter converter(&StorageICalPrompts());
  const bool imported = ImportICalFileInto(converter, doc.events(), calendar, filePath, refresh);
  if (filling && !imported) {
    // Nothing replaces the local file: the staged one goes with its events.
    const std::string staged = calendar.path;
    calendar.Close(&doc.events());
    platform::DeleteOsFile(staged.c_str());
  }
  if (filling && imported && !CommitFilledFile(doc, calendar, localFile)) return false;
  if (!imported) {
    calendar.uidMap.clear();
    return false;
  }
  if (calendar.name.empty()) calendar.name = CProgramSettings::CalendarNameFromPath(calendar.path);
  EndImport(doc, calendar, converter, refresh, counts);
  return true;
}

bool RefreshWithResults(CAlmacoraDoc& doc, CCalendarFile& calendar, ITransferProgress* progress, bool* closeNow) {
  calendar.refreshRunning = 1;
  if (progress) progress->SetSteps(5);
  RefreshCounts counts;
  const bool ok = RefreshSubscription(doc, calendar, calendar.address, std::string(), true, progress, &counts);
  *closeNow = true;
  if (ok && (counts.added > 0 || counts.updated > 0 || counts.deleted > 0)) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, sharing_text::kRefreshResults, counts.added, counts.updated, counts.deleted);
    if (progress) progress->ShowResult(buffer);
    *closeNow = false;
  }
  calendar.refreshRunning = 0;
  return ok;
}

bool RefreshInWindow(CAlmacoraDoc& doc, CCalendarFile& calendar) {
  IStoragePrompts* prompts = GetStorageServices().prompts;
  IProgressWindow* window = prompts ? prompts->OpenProgressWindow("Refreshing " + calendar.name) : nullptr;
  bool closeNow = true;
  const bool ok = RefreshWithResults(doc, calendar, window, &closeNow);
  if (window) window->Done(closeNow);
  doc.RecountAndRefresh();
  return ok;
}

bool SubscribeCalendar(CAlmacoraDoc& doc, CCalendarFile* previewed, const SubscribeForm& form,
                       ITransferProgress* progress) {
  const std::string local = LocalPath(form.localFile);
  const CCalendarFile* owner = doc.calendars().FindByPath(local);
  if (owner != nullptr && owner != previewed) {
    StorageMessage(sharing_text::kAlreadyOpen, PromptIcon::kExclamation);
    return false;
  }
  if (platform::OsFileExists(local.c_str()) && !StorageAskYesNo(sharing_text::kLocalFileExists, PromptIcon::kExclamation))
    return false;

  CCalendarFile* calendar = previewed ? previewed : new CCalendarFile();
  // What a failed subscription puts back on a calendar in preview.
  const int oldType = calendar->fileType, oldState = calendar->openState;
  const std::string oldName = calendar->name, oldAddress = calendar->address, oldUser = calendar->userName,
                    oldPassword = calendar->password;
  const uint8_t oldNameFromPath = calendar->nameFromPath, oldRefresh = calendar->refreshAtStartup,
                oldSubscribed = calendar->subscribed;
  calendar->fileType = CCalendarFile::kOrdinaryFile;
  calendar->openState = CCalendarFile::kOpen;
  calendar->name = form.name;
  calendar->nameFromPath = form.nameFromAddress ? 1 : 0;
  calendar->SetAddress(form.address);
  calendar->userName = form.userName;
  calendar->password = form.password;
  calendar->refreshAtStartup = form.refreshAtStartup ? 1 : 0;
  calendar->subscribed = 1;
  // The preview's events go once a whole calendar has arrived.
  auto dropPreview = [&] {
    if (previewed) doc.events().FreeEventsOf(previewed);
  };
  if (!RefreshImpl(doc, *calendar, form.address, local, false, progress, nullptr, dropPreview)) {
    if (!previewed) {
      delete calendar;
      return false;
    }
    calendar->fileType = oldType;
    calendar->openState = oldState;
    calendar->name = oldName;
    calendar->address = oldAddress;
    calendar->userName = oldUser;
    calendar->password = oldPassword;
    calendar->nameFromPath = oldNameFromPath;
    calendar->refreshAtStartup = oldRefresh;
    calendar->subscribed = oldSubscribed;
    return false;
  }
  calendar->previewFlag = 0;
  calendar->WriteCalInfo();
  if (!previewed) doc.calendars().AddCalendar(calendar);
  doc.RecountAndRefresh();
  return true;
}

bool PreviewCalendar(CAlmacoraDoc& doc, CCalendarFile* previewed, const SubscribeForm& form,
                     ITransferProgress* progress) {
  if (previewed && previewed->previewFlag) return true;
  CCalendarFile* calendar = previewed ? previewed : new CCalendarFile();
  calendar->name = form.name;
  calendar->nameFromPath = form.nameFromAddress ? 1 : 0;
  calendar->SetAddress(form.address);
  calendar->userName = form.userName;
  calendar->password = form.password;
  calendar->fileType = CCalendarFile::kMemoryOnly;
  if (!RefreshSubscription(doc, *calendar, form.address, std::string(), false, progress, nullptr)) {
    if (!previewed) delete calendar;
    return false;
  }
  calendar->previewFlag = 1;
  calendar->subscribed = 0;
  calendar->openState = CCalendarFile::kPreview;
  if (!previewed) doc.calendars().AddCalendar(calendar);
  doc.RecountAndRefresh();
  return true;
}

std::string SubscriptionFileName(const std::string& calendarName) {
  return platform::PlainFileName(calendarName, "Calendar") + ".akv";
}

std::string CheckSubscriptionNames(const CCalendarList& calendars, const CCalendarFile* editing,
                                   const std::string& name, const std::string& address) {
  for (const CCalendarFile* c : calendars.items())
    if (c != editing && c->name == name) return sharing_text::kNameInUse;
  for (const CCalendarFile* c : calendars.items())
    if (c != editing && !address.empty() && c->address == address) return sharing_text::kAddressInUse;
  return std::string();
}
