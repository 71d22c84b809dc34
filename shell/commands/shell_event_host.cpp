#include "shell/commands/shell_event_host.h"

#include "framework/dialogs/common_dialogs.h"
#include "model/events/cal_event.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_file.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_storage.h"

bool CShellEventHost::CanAddEvents() {
  if (!document_) return false;
  for (const CCalendarFile* c : document_->Core().calendars().items())
    if (c->CanReceiveNewEvents()) return true;
  return false;
}

bool CShellEventHost::IsFilterActive() { return document_ && document_->IsTypeFilterActive(); }

void CShellEventHost::SetFilterActive(bool on) {
  if (document_) document_->SetTypeFilterActive(on);
}

void CShellEventHost::UpdateViews(int hint, void* param) {
  if (document_) document_->UpdateAllViews(nullptr, hint, param);
}

int CShellEventHost::AddEvent(CCalEvent* event) {
  if (!document_) {
    delete event;
    return 0;
  }
  return document_->Core().AddEvent(event);
}

int16_t CShellEventHost::SaveEventAndRefresh(CCalEvent& event) {
  return document_ ? document_->Core().SaveEventAndRefresh(event, 1, 1, 1) : 0;
}

bool CShellEventHost::RemoveEvent(CCalEvent& event) {
  return document_ && document_->Core().DeleteEvent(event.arrayIndex, true);
}

CCalendarFile* CShellEventHost::DefaultCalendar() {
  return document_ ? document_->Core().GetDefaultCalendar() : nullptr;
}

std::string CShellEventHost::ExportEventText(const CCalEvent& event) {
  CICalConverter converter;
  return converter.ExportEventICal(event, ICalHeaderOf(event.calendar));
}

bool CShellEventHost::ChooseExportFile(const std::string& proposed, const std::string& defaultExtension,
                                       std::string* path) {
  framework::CFileDialog dlg(false, defaultExtension, proposed, OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                             "iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||", owner_);
  dlg.title = "Enter Export Filename";
  if (dlg.DoModal() != IDOK) return false;
  *path = dlg.GetPathName();
  return true;
}

std::vector<CCalendarFile*> CShellEventHost::Calendars() {
  if (!document_) return {};
  return document_->Core().calendars().items();
}

CCalEvent* CShellEventHost::FindConflictingEvent(const CDateTime& start, const CDateTime& end, CCalEvent* skip) {
  return document_ ? document_->Core().FindConflictingEvent(start, end, skip) : nullptr;
}

bool CShellEventHost::ReopenCalendar(CCalendarFile& calendar) {
  if (!document_) return false;
  calendar.openState = CCalendarFile::kOpen;
  if (!calendar.OpenFile(&document_->Core().events(), calendar.path)) {
    calendar.openState = CCalendarFile::kClosed;
    return false;
  }
  document_->RecountAndRefresh();
  return true;
}
