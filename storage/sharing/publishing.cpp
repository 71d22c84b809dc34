// Publish, the publish-address check, the publish dialog's flow and the
// automatic publish after a save.
#include <cstdio>
#include <string>

#include "model/settings/program_settings.h"
#include "storage/action_guard.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_address.h"
#include "storage/calendar_file.h"
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

CAlmacoraDoc* g_document = nullptr;

void PublishAfterSave(CCalendarFile& calendar, int publishArg) {
  if (g_document) AutoPublish(*g_document, calendar, publishArg != 0);
}

bool ParsePublishAddress(const CCalendarFile& calendar, CalendarUrl* url) {
  if (SplitCalendarUrl(calendar.address, url) && !url->IsFile()) return true;
  StorageMessage(Format(sharing_text::kInvalidAddress, AddressWithoutLogin(TrimAddress(calendar.address))),
                 PromptIcon::kError);
  return false;
}

}  // namespace

bool PublishCalendar(CAlmacoraDoc& doc, CCalendarFile& calendar, ITransferProgress* progress) {
  Step(progress, 0, "");
  CalendarUrl url;
  if (!ParsePublishAddress(calendar, &url)) return false;
  CICalConverter converter(&StorageICalPrompts());
  const std::string text = ExportCalendarICal(converter, doc.events(), &calendar);
  if (converter.HasAdvancedRule() && g_Settings.WarnAdvanced) {
    IStoragePrompts* prompts = GetStorageServices().prompts;
    if (prompts && prompts->ShowWarning(sharing_text::kAdvanced, sharing_text::kAdvancedCaption, true)) {
      g_Settings.WarnAdvanced = 0;
      g_Settings.WriteInt("WarnAdvanced", 0);
    }
  }
  const bool ok = url.IsFtp() ? FtpUploadCalendar(calendar, url, text, progress)
                              : HttpPublishCalendar(calendar, url, text, progress);
  if (!ok) return false;
  // Published by the user or with a proven address: this installation's.
  actionguard::ProvePublish(&calendar);
  calendar.published = 1;
  calendar.subscribed = 1;
  if (!calendar.rememberPassword) {
    calendar.userName.clear();
    calendar.password.clear();
  }
  if (calendar.fileType != CCalendarFile::kMemoryOnly) calendar.WriteCalInfo();
  return true;
}

bool CheckPublishAddress(CCalendarFile& calendar) {
  CalendarUrl url;
  if (!ParsePublishAddress(calendar, &url)) return false;
  return url.IsFtp() ? FtpCheckAddress(calendar, url) : HttpCheckAddress(calendar, url);
}

bool PublishFromDialog(CAlmacoraDoc& doc, CCalendarFile& calendar, ITransferProgress* dialog) {
  CalendarUrl url;
  if (!ParsePublishAddress(calendar, &url)) return false;
  const bool occupied = CheckPublishAddress(calendar);
  if (TransferCancelled()) return false;
  if (occupied) {
    IStoragePrompts* prompts = GetStorageServices().prompts;
    const OverwriteChoice choice = prompts ? prompts->AskOverwrite() : OverwriteChoice::kCancel;
    if (choice == OverwriteChoice::kCancel) return false;
    if (choice == OverwriteChoice::kRefreshFirst && !RefreshInWindow(doc, calendar)) return false;
  }
  return PublishCalendar(doc, calendar, dialog);
}

void AutoPublish(CAlmacoraDoc& doc, CCalendarFile& calendar, bool enabled) {
  if (!calendar.published || !calendar.publishAfterSave || !enabled || calendar.refreshRunning) return;
  // An address from elsewhere takes nothing without the user's yes.
  if (!actionguard::PublishProven(calendar)) {
    if (!calendar.publishDeclined) calendar.AskAboutUnprovenActions(&doc.events());
    if (!actionguard::PublishProven(calendar)) return;
  }
  IStoragePrompts* prompts = GetStorageServices().prompts;
  IProgressWindow* window = prompts ? prompts->OpenProgressWindow("Refreshing " + calendar.name) : nullptr;
  bool closeNow = true;
  const bool refreshed = RefreshWithResults(doc, calendar, window, &closeNow);
  if (window) window->SetTitle("Publishing " + calendar.name);
  // A refresh that failed may hide others' changes on the server: publish
  // over them only when the address holds no file yet. A cancel in the
  // refresh stops the publish as well.
  if (!TransferCancelled() && (refreshed || !CheckPublishAddress(calendar)) && !TransferCancelled())
    PublishCalendar(doc, calendar, window);
  if (window) window->Done(closeNow);
}

std::string EncodePublishName(const std::string& name) {
  const std::string trimmed = TrimAddress(name);
  std::string out;
  for (char c : trimmed) {
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ') {
      out += '-';
    } else if (c == '#' || c == '?' || u < 0x20 || u == 0x7F) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string WebPublishAddress(const std::string& webUrl, const std::string& publishName) {
  std::string base = TrimAddress(webUrl);
  if (base.empty() || base.back() != '/') base += '/';
  return base + EncodePublishName(publishName) + ".ics";
}

void InstallSharing(CAlmacoraDoc* doc) {
  g_document = doc;
  CCalendarFile::SetAutoPublisher(doc ? PublishAfterSave : nullptr);
}
