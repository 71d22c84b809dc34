#include "shell/app/shell_document.h"

#include "dialogs/options/type_colors_dlg.h"
#include "framework/application.h"
#include "model/settings/program_settings.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_services.h"
#include "storage/calendar_file.h"
#include "storage/ical/ical_storage.h"
#include "storage/sharing/sharing.h"
#include "storage/ui/cal_wiz_sheet.h"
#include "storage/services/storage_services.h"

CShellDocument::CShellDocument() {
  previousShell_ = GetStorageServices().shell;
  GetStorageServices().shell = this;
  // ".ics" files listed as calendars open as read-only calendars in memory.
  InstallICalStorage();
  // Internet calendars go over WinINet; saves publish through this document.
  previousTransport_ = GetStorageServices().transport;
  GetStorageServices().transport = &transport_;
  InstallSharing(&core_);
  framework::CApplication* app = framework::TheApp();
  core_.Start(app ? app->GetCommandLine() : std::string());
}

CShellDocument::~CShellDocument() {
  InstallSharing(nullptr);
  if (GetStorageServices().transport == &transport_) GetStorageServices().transport = previousTransport_;
  if (GetStorageServices().shell == this) GetStorageServices().shell = previousShell_;
}

void CShellDocument::OpenCalendarFile(const std::string& path, bool askPreview) {
  if (CCalendarFile* listed = core_.calendars().FindByPath(path)) {
    OpenCalendar(listed);
    return;
  }
  core_.OpenEventFile(path, askPreview);
}

void CShellDocument::UpdateAllViews(int hint, const COccurrenceRef* added) {
  // Every change to the events ends here: the alarm check's remembered
  // times no longer hold.
  ++changeSerial_;
  framework::CDocument::UpdateAllViews(nullptr, hint, const_cast<COccurrenceRef*>(added));
  // The calendar windows open beside the views follow too.
  if (CMainFrame* frame = CMainFrame::Get()) frame->CalendarsChanged();
}

bool CShellDocument::OpenCalendar(CCalendarFile* calendar) {
  // Open or previewed already: nothing to do.
  if (!calendar || (calendar->openState != CCalendarFile::kClosed && calendar->openState != 2)) return false;
  CMainFrame* frame = CMainFrame::Get();
  return frame != nullptr && frame->OpenCalendar(calendar) != FALSE;
}

bool CShellDocument::SubscribeToUrl(const std::string& address) {
  if (CMainFrame* frame = CMainFrame::Get()) return frame->SubscribeToUrl(address) != FALSE;
  ShowNotAvailable("Subscribing to Internet calendars");
  return false;
}

void CShellDocument::RunCalendarWizard(bool firstRun) {
  // At the first start the main window does not exist yet.
  framework::CApplication* app = framework::TheApp();
  CCalWizSheet wizard(core_, app ? app->GetMainWindow() : nullptr);
  wizard.firstRun = firstRun;
  wizard.DoModal();
}

void CShellDocument::SetMainWindowTitle(const std::string& title) {
  framework::CApplication* app = framework::TheApp();
  if (app && app->GetMainWindow()) ::SetWindowTextA(app->GetMainWindow(), title.c_str());
}

void CShellDocument::SetShowCommand(StartupShow show) {
  framework::CApplication* app = framework::TheApp();
  if (!app) return;
  switch (show) {
    case StartupShow::kHidden:
      app->SetShowCommand(SW_HIDE);
      break;
    case StartupShow::kNormal:
      app->SetShowCommand(SW_SHOWNORMAL);
      break;
    case StartupShow::kMinimized:
      app->SetShowCommand(SW_SHOWMINNOACTIVE);
      break;
    case StartupShow::kMaximized:
      app->SetShowCommand(SW_SHOWMAXIMIZED);
      break;
    case StartupShow::kUnchanged:
      break;
  }
}

void CShellDocument::OfferTypeColors(const std::map<std::string, std::string>& typeMarks) {
  options::CTypeColorsDlg dlg;
  dlg.typeMarks = &typeMarks;
  const size_t before = g_Settings.EventTypeNames.size();
  dlg.DoModal();
  // Types coloured here are kept even when the run ends without the exit
  // save (saving on exit switched off).
  if (g_Settings.EventTypeNames.size() != before) g_Settings.SaveEventTypes();
}
