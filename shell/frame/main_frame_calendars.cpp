// The main frame's calendar commands: the open-calendars chooser, Close,
// Move, Import, Export, the calendar manager, the calendar wizard and
// opening or refreshing a listed calendar.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>

#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "platform/error_text.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "shell/app/shell_services.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_storage.h"
#include "dialogs/small/cal_edit_dlg.h"
#include "storage/ui/calendar_open.h"
#include "storage/ui/cal_wiz_sheet.h"
#include "storage/ui/calendars_dialog.h"
#include "storage/ui/export_data_dlg.h"
#include "storage/ui/export_select_dlg.h"
#include "storage/ui/ical_error_dlg.h"
#include "storage/ui/import_text_dlg.h"
#include "storage/ui/import_type_dlg.h"
#include "storage/ui/open_calendars_dlg.h"

namespace {

constexpr char kNoFileOpen[] = "No event file currently open";

bool BrowseForFolder(HWND owner, const std::string& title, std::string* folder) {
  char display[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE item = ::SHBrowseForFolderA(&info);
  if (item == nullptr) return false;
  char path[MAX_PATH] = "";
  const bool ok = ::SHGetPathFromIDListA(item, path) != FALSE;
  ::CoTaskMemFree(item);
  if (ok) *folder = path;
  return ok;
}

CMainFrame::FolderBrowser g_browseFolder = &BrowseForFolder;

// The chooser over the document's calendars once one of them is open
// (otherwise kNoFileOpen is said); true after OK, as PickCalendar.
bool PickOpenCalendar(CMainFrame& frame, CShellDocument& doc, const char* prompt, const char* button, bool offerAll,
                      CCalendarFile** chosen) {
  bool anyOpen = false;
  for (const CCalendarFile* c : doc.Core().calendars().items())
    if (c->openState == CCalendarFile::kOpen) anyOpen = true;
  if (!anyOpen) {
    framework::MessageBox(kNoFileOpen);
    return false;
  }
  return frame.PickCalendar(frame.GetSafeHwnd(), prompt, button, offerAll, -1, chosen);
}


}  // namespace

CMainFrame::FolderBrowser CMainFrame::SetFolderBrowser(FolderBrowser browser) {
  FolderBrowser previous = g_browseFolder;
  g_browseFolder = browser ? browser : &BrowseForFolder;
  return previous;
}

bool CMainFrame::PickCalendar(HWND owner, const std::string& prompt, const std::string& button, bool offerAll,
                              int initialId, CCalendarFile** chosen) {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return false;
  COpenCalendarsDlg dlg(doc->Core().calendars(), owner ? owner : GetSafeHwnd());
  dlg.prompt = prompt;
  dlg.okCaption = button;
  dlg.offerAll = offerAll;
  dlg.initialId = initialId;
  if (dlg.DoModal() != IDOK) return false;
  *chosen = dlg.chosen;
  return true;
}

void CMainFrame::OnCalendarClose() {
  CShellDocument* doc = GetShellDocument();
  CCalendarFile* chosen = nullptr;
  if (!doc || !PickOpenCalendar(*this, *doc, "Select which event file to close.", "Close File", false, &chosen)) return;
  if (chosen) doc->Core().CloseEventFile(chosen);
}

void CMainFrame::OnCalendarConvert() {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  CAlmacoraDoc& core = doc->Core();
  auto calendar = std::make_unique<CCalendarFile>();
  if (calendar->ConvertOldEventFiles(&core.events(), true)) {
    core.calendars().AddCalendar(calendar.release());
  } else {
    // A conversion that stopped part way may have added events already.
    core.events().FreeEventsOf(calendar.get());
  }
  core.RecountAndRefresh();
}

void CMainFrame::OnCalendarMove() {
  CShellDocument* doc = GetShellDocument();
  CCalendarFile* chosen = nullptr;
  if (!doc || !PickOpenCalendar(*this, *doc, "Select which event file to move.", "Move File", false, &chosen)) return;
  if (!chosen) return;
  CAlmacoraDoc& core = doc->Core();
  // Closing frees the calendar: its path and default role are kept here.
  const std::string oldPath = chosen->path;
  const bool wasDefault = core.calendars().defaultId == chosen->listId;
  std::string folder;
  if (!g_browseFolder(GetSafeHwnd(), "Select New Folder for Data File :\n" + oldPath, &folder)) return;
  const size_t slash = oldPath.find_last_of('\\');
  std::string newPath = folder;
  if (newPath.empty() || newPath.back() != '\\') newPath += '\\';
  newPath += slash == std::string::npos ? oldPath : oldPath.substr(slash + 1);

  core.CloseEventFile(chosen);
  std::string path = oldPath;
  if (::CopyFileA(oldPath.c_str(), newPath.c_str(), TRUE)) {
    if (!::DeleteFileA(oldPath.c_str()))
      framework::MessageBox(platform::SystemErrorText(static_cast<int>(::GetLastError())), MB_ICONINFORMATION, "Error Deleting File");
    path = newPath;
  } else {
    framework::MessageBox(platform::SystemErrorText(static_cast<int>(::GetLastError())), MB_OK, "Error Copying File");
  }
  core.OpenEventFile(path, false);
  if (wasDefault) {
    if (CCalendarFile* reopened = core.calendars().FindByPath(path)) {
      core.calendars().defaultId = reopened->listId;
      core.calendars().UpdateMainWindowTitle();
      g_Settings.SaveSettings();
    }
  }
}

BOOL CMainFrame::OpenCalendar(CCalendarFile* calendar) {
  if (!calendar) return FALSE;
  if (calendar->openState != CCalendarFile::kClosed && calendar->openState != 2) return FALSE;
  CCalendarsDialog* manager = GetCalendarsDialog();
  return manager && manager->OpenCalendar(calendar) ? TRUE : FALSE;
}

BOOL CMainFrame::RefreshCalendar(CCalendarFile* calendar) {
  CCalendarsDialog* manager = GetCalendarsDialog();
  return manager && manager->RefreshCalendar(calendar) ? TRUE : FALSE;
}

// ---- The calendar manager.

CCalendarsDialog* CMainFrame::GetCalendarsDialog() {
  if (m_pCalendarsDlg) return m_pCalendarsDlg.get();
  CShellDocument* doc = GetShellDocument();
  if (!doc) return nullptr;
  auto manager = std::make_unique<CCalendarsDialog>(doc->Core());
  // What the manager opens is owned by it, so that it stays in front.
  auto over = [this] { return m_pCalendarsDlg ? m_pCalendarsDlg->GetSafeHwnd() : GetSafeHwnd(); };
  manager->hooks.newCalendar = [this, over] { NewCalendar(over()); };
  manager->hooks.openFile = [this, over] { OpenFileOver(over()); };
  manager->hooks.listEvents = [this, over](int calendarId) { RunCalendarEntries(over(), calendarId); };
  if (!manager->CreateHidden(GetSafeHwnd())) return nullptr;
  m_pCalendarsDlg = std::move(manager);
  return m_pCalendarsDlg.get();
}

void CMainFrame::CalendarsChanged() {
  if (m_pCalendarsDlg) m_pCalendarsDlg->RefillLater();
  if (m_pCalendarEntries) m_pCalendarEntries->RefillLater();
}

void CMainFrame::OnCalendarManager() {
  const bool existed = m_pCalendarsDlg != nullptr;
  CCalendarsDialog* manager = GetCalendarsDialog();
  if (!manager) return;
  if (existed) manager->FillCalendarGrid();
  ::ShowWindow(manager->GetSafeHwnd(), SW_SHOW);
  ::SetForegroundWindow(manager->GetSafeHwnd());
}

void CMainFrame::OnCalendarWizard() {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  CCalWizSheet wizard(doc->Core(), GetSafeHwnd());
  wizard.firstRun = false;
  wizard.DoModal();
}

// ---- Import and export.

namespace {

// The open-file dialogs of the import: true with the chosen path.
bool ChooseImportFile(HWND owner, const char* title, const char* extension, const char* filter, std::string* path) {
  framework::CFileDialog dlg(true, extension, "", OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY, filter,
                             owner);
  dlg.title = title;
  if (dlg.DoModal() != IDOK) return false;
  *path = dlg.GetPathName();
  return true;
}

}  // namespace

int CShellStoragePrompts::AskSkipOrCancel(const std::string& message) {
  CMainFrame* frame = CMainFrame::Get();
  CICalErrorDlg dlg(frame ? frame->GetSafeHwnd() : nullptr);
  return dlg.Ask(message);
}

void CMainFrame::OnCalendarImport() {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  CAlmacoraDoc& core = doc->Core();
  CCalendarFile* target = nullptr;
  const int count = core.calendars().CountSelectableCalendars();
  if (count == 0) {
    framework::MessageBox("No Event Files Currently Open");
    return;
  }
  for (CCalendarFile* c : core.calendars().items()) {
    if (c->CanReceiveNewEvents()) {
      target = c;
      break;
    }
  }
  if (count > 1) {
    CCalendarFile* chosen = nullptr;
    if (!PickCalendar(GetSafeHwnd(), "Select which event file to import into.", "Continue", false, -1, &chosen))
      return;
    if (chosen) target = chosen;
  }
  CImportTypeDlg type(GetSafeHwnd());
  if (type.DoModal() != IDOK) return;
  std::string path;
  switch (type.choice) {
    case 0: {
      if (!ChooseImportFile(GetSafeHwnd(), "Select iCalendar Data File", "ics",
                            "Event Files (*.ics)|*.ics|All Files (*.*)|*.*||", &path))
        return;
      ImportICalFileReported(core, *target, path);
      break;
    }
    case 1: {
      if (!ChooseImportFile(GetSafeHwnd(), "Select Import Data File", "akv",
                            "Event Files (*.akv)|*.akv|All Files (*.*)|*.*||", &path))
        return;
      if (core.calendars().FindByPath(path)) {
        framework::MessageBox("File is currently open.\n\nCannot import from an open file.");
        return;
      }
      CCalendarFile source;
      source.importTarget = target;
      source.Open(&core.events(), path);
      source.Close(nullptr);
      core.RecountAndRefresh();
      break;
    }
    case 2: {
      CImportTextDlg text(GetSafeHwnd());
      if (text.DoModal() != IDOK) return;
      core.ImportTextFile(target, text.fileName);
      break;
    }
    case 3:
      if (!ChooseImportFile(GetSafeHwnd(), "Select vCalendar Data File", "vcs",
                            "Event Files (*.vcs)|*.vcs|All Files (*.*)|*.*||", &path))
        return;
      core.ImportVCalendar(path, target);
      break;
    default:
      break;
  }
}

void CMainFrame::OnCalendarExport() {
  CExportSelect select(GetSafeHwnd());
  if (select.DoModal() != IDOK) return;
  if (select.choice == 0) {
    ExportICalendar();
    return;
  }
  CExportDataDlg dlg(GetSafeHwnd());
  dlg.writeList = [this](const std::string&) {
    if (CShellDocument* doc = GetShellDocument()) doc->UpdateAllViews(nullptr, kHintWriteListFile);
  };
  dlg.DoModal();
}

void CMainFrame::ExportICalendar() {
  CShellDocument* doc = GetShellDocument();
  CCalendarFile* chosen = nullptr;
  if (!doc || !PickOpenCalendar(*this, *doc, "Select calendar to export.", "Export", true, &chosen)) return;
  CAlmacoraDoc& core = doc->Core();
  // An iCalendar file is proposed as such (".ics"), and a file that cannot
  // be written is said rather than passed over.
  framework::CFileDialog save(false, "ics", "", OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY,
                              "iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||", GetSafeHwnd());
  save.title = "Enter Export Filename";
  if (save.DoModal() != IDOK) return;
  const std::string path = save.GetPathName();
  CICalConverter converter;
  const std::string text = ::ExportCalendarICal(converter, core.events(), chosen);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    framework::MessageBox("Could not write the file \"" + path + "\".", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written)
    framework::MessageBox("Could not write the file \"" + path + "\".", MB_OK | MB_ICONEXCLAMATION);
}
