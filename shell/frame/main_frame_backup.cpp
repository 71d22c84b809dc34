// The main frame's Event Wizard, Event Manager, Backup Data, Restore Data
// and the scheduled backup question. The file work is storage's
// (storage/calendar_backup.h); this file asks and tells.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/small/backup_dlg.h"
#include "dialogs/small/cal_edit_dlg.h"
#include "dialogs/wizard/event_wizard.h"
#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "platform/error_text.h"
#include "shell/app/almacora_app.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/restore_file_choice.h"
#include "shell/app/shell_document.h"
#include "storage/calendar_backup.h"
#include "storage/calendar_file.h"

namespace {

constexpr size_t kBackupNameBuffer = 2000;

// The folder the backup dialog starts in: the stored one while it exists;
// else the user's documents folder, as the stored default "a:\" names no
// drive on today's machines. The setting keeps what it holds.
std::string BackupDialogFolder(const std::string& stored) {
  const DWORD attributes = ::GetFileAttributesA(stored.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return stored;
  char documents[MAX_PATH] = "";
  if (::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents) == S_OK) return documents;
  return stored;
}

int TodayJulianDay() { return CDateTime::Today().GetJulianDay(); }

bool ChooseBackupsWithDialog(HWND owner, std::vector<std::string>* backups) {
  std::vector<char> names(kBackupNameBuffer, '\0');
  const std::string filter = framework::FilterToSystem("Backup Event Files (*.akb)|*.akb|All Files (*.*)|*.*||");
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = static_cast<DWORD>(names.size());
  ofn.lpstrInitialDir = g_Settings.BackupDir.c_str();
  ofn.lpstrTitle = "Select Files to Restore";
  ofn.lpstrDefExt = "akb";
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!::GetOpenFileNameA(&ofn)) return false;
  *backups = SplitMultiSelect(names.data(), names.size());
  return !backups->empty();
}

bool ChooseTargetWithDialog(HWND owner, const std::string& proposed, std::string* target) {
  framework::CFileDialog dlg(false, "akv", proposed, OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                             "Event Files (*.akv)|*.akv|All Files (*.*)|*.*||", owner);
  dlg.title = "Select location where file should be restored.";
  dlg.initialFolder = g_ProgramFolder;
  if (dlg.DoModal() != IDOK) return false;
  *target = dlg.GetPathName();
  return true;
}

}  // namespace

RestoreFileChoice& RestoreFileChoices() {
  static RestoreFileChoice choices;
  return choices;
}

std::vector<std::string> SplitMultiSelect(const char* buffer, size_t size) {
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < size && buffer[at] != '\0') {
    std::string part(buffer + at);
    at += part.size() + 1;
    parts.push_back(part);
  }
  if (parts.size() <= 1) return parts;
  std::string folder = parts[0];
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  std::vector<std::string> paths;
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

void CMainFrame::OnEventWizard() {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  dialogs::CEventWizard wizard(&doc->Core(), GetSafeHwnd());
  wizard.pickCalendar = [this](HWND owner, const std::string& prompt, const std::string& button) {
    CCalendarFile* chosen = nullptr;
    return PickCalendar(owner, prompt, button, false, -1, &chosen) && chosen ? chosen->listId : 0;
  };
  wizard.DoModal();
}

void CMainFrame::OnEventManager() { RunCalendarEntries(GetSafeHwnd(), -1); }

void CMainFrame::RunCalendarEntries(HWND owner, int calendarId) {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  dialogs::CCalEdit dlg(&doc->Core(), owner);
  dlg.initialCalendarId = calendarId;
  // Edit Event opens the event editor on the event's next occurrence, over
  // the entries.
  dlg.modifyEvent = [this, &dlg](CCalEvent* event) {
    if (event) ModifyEventOver(dlg.GetSafeHwnd(), COccurrenceRef(event, event->nextOccurrence));
  };
  dlg.editActions = &CMainFrame::EditAlarmActionValues;
  dialogs::CCalEdit* outer = m_pCalendarEntries;
  m_pCalendarEntries = &dlg;
  dlg.DoModal();
  m_pCalendarEntries = outer;
}

void CMainFrame::OnCalendarBackupData() { BackupData(); }

BOOL CMainFrame::BackupData() {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return FALSE;
  dialogs::CBackupDlg dlg(GetSafeHwnd());
  dlg.directory = BackupDialogFolder(g_Settings.BackupDir);
  if (dlg.DoModal() != IDOK) return FALSE;
  const std::string folder = calbackup::BackupFolder(dlg.directory);
  calbackup::BackupOutcome outcome;
  {
    framework::CWaitCursor wait;
    outcome = calbackup::BackupCalendars(doc->Core().calendars(), folder);
  }
  if (outcome.nothingToCopy) {
    framework::MessageBox("No Event Files Currently Open", MB_OK | MB_ICONINFORMATION);
    return FALSE;
  }
  if (!outcome.ok) {
    framework::MessageBox("Error copying to backup file " + outcome.failedTarget + "\n\n" +
                              calbackup::FailureText(outcome.failure),
                          MB_OK | MB_ICONINFORMATION, "Backup Error");
    return FALSE;
  }
  framework::MessageBox("Backup Complete.", MB_OK | MB_ICONINFORMATION, "Almacora");
  g_Settings.BackupDir = folder;
  g_Settings.AutoBackupDate = TodayJulianDay();
  g_Settings.WriteString("BackupDir", folder);
  g_Settings.WriteInt("AutoBackupDate", g_Settings.AutoBackupDate);
  return TRUE;
}

void CMainFrame::CheckScheduledBackup() {
  const int today = TodayJulianDay();
  if (!calbackup::IsBackupDue(g_Settings.AutoBackup, g_Settings.AutoBackupDays, g_Settings.AutoBackupDate, today))
    return;
  char text[256];
  std::snprintf(text, sizeof text,
                "Almacora scheduled calendar backup date has arrived.\n\nBackup Now?\n\nSelect no to postpone %d days",
                static_cast<int>(g_Settings.AutoBackupDays));
  if (framework::MessageBox(text, MB_YESNO | MB_ICONINFORMATION, "Almacora Data Backup") == IDYES) {
    BackupData();
    return;
  }
  g_Settings.AutoBackupDate = today;
  g_Settings.WriteInt("AutoBackupDate", today);
}

void CMainFrame::OnCalendarRestoreData() {
  CShellDocument* doc = GetShellDocument();
  if (!doc) return;
  RestoreFileChoice& choices = RestoreFileChoices();
  std::vector<std::string> backups;
  const bool chosen = choices.chooseBackups ? choices.chooseBackups(GetSafeHwnd(), &backups)
                                            : ChooseBackupsWithDialog(GetSafeHwnd(), &backups);
  if (!chosen) return;
  int count = 0;
  for (const std::string& backup : backups) {
    const std::string proposed = calbackup::ProposedRestoreName(backup);
    std::string target;
    const bool picked = choices.chooseTarget ? choices.chooseTarget(GetSafeHwnd(), proposed, &target)
                                             : ChooseTargetWithDialog(GetSafeHwnd(), proposed, &target);
    if (!picked) continue;
    calbackup::RestoreOutcome outcome;
    {
      framework::CWaitCursor wait;
      outcome = calbackup::RestoreIntoDocument(&doc->Core(), backup, target);
    }
    if (!outcome.restored) {
      const std::string text = outcome.notCalendar ? "'" + backup + "' is not a calendar file."
                                                   : platform::SystemErrorText(outcome.failure.nativeError);
      framework::MessageBox(text, MB_OK | MB_ICONINFORMATION, "Restore Error");
      continue;
    }
    ++count;
    if (outcome.wasOpen) continue;
    if (framework::MessageBox("'" + target + "' was restored but was not previously open.\n\nOpen event file?",
                              MB_YESNO | MB_ICONQUESTION, "Open Restored File") != IDYES)
      continue;
    calbackup::OpenRestoredCalendar(&doc->Core(), target);
  }
  {
    framework::CWaitCursor wait;
    doc->UpdateAllViews(nullptr, kHintReload);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%d data file(s) restored.", count);
  framework::MessageBox(text, MB_OK | MB_ICONINFORMATION, "Restore Complete");
}
