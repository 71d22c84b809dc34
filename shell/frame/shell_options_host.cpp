#include "shell/frame/shell_options_host.h"

#include "shell/frame/main_frame.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_file.h"

void CShellOptionsHost::UpdateAllViews(int hint) {
  CMainFrame* frame = CMainFrame::Get();
  if (CShellDocument* doc = frame ? frame->GetShellDocument() : nullptr) doc->UpdateAllViews(nullptr, hint);
}

CAlmacoraDoc* CShellOptionsHost::Document() {
  CMainFrame* frame = CMainFrame::Get();
  CShellDocument* doc = frame ? frame->GetShellDocument() : nullptr;
  return doc ? &doc->Core() : nullptr;
}

void CShellOptionsHost::SaveWindowPlacement() {
  if (CMainFrame* frame = CMainFrame::Get()) frame->SaveWindowPlacement();
}

void CShellOptionsHost::UpdateFilterMenu() {
  if (CMainFrame* frame = CMainFrame::Get()) frame->UpdateFilterMenu();
}

bool CShellOptionsHost::PickCalendar(HWND parent, const std::string& prompt, const std::string& button,
                                     int* calendarId) {
  CMainFrame* frame = CMainFrame::Get();
  CCalendarFile* chosen = nullptr;
  if (!frame || !frame->PickCalendar(parent, prompt, button, false, *calendarId, &chosen) || !chosen) return false;
  *calendarId = chosen->listId;
  return true;
}
