#include "shell/app/shell_services.h"

#include <cstring>

#include "dialogs/event/delete_occurrence_dlg.h"
#include "dialogs/small/log_dlg.h"
#include "dialogs/small/warning_dlg.h"
#include "controls/preview_prompt_dlg.h"
#include "framework/application.h"
#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/message_box.h"
#include "framework/gdi/gdi.h"
#include "model/settings/settings_fonts.h"
#include "storage/ui/arm_actions_dlg.h"

IShellServices::FontHandle CShellServices::CreatePointFont(const LogFont& font) {
  // The stored layout is the platform's LOGFONTA, height in tenths.
  LOGFONTA lf{};
  std::memcpy(&lf, &font, sizeof lf);
  framework::CFont f;
  if (!f.CreatePointFontIndirect(lf)) return nullptr;
  return f.Detach();
}

void CShellServices::DeleteFont(FontHandle font) {
  if (font) ::DeleteObject(static_cast<HFONT>(font));
}

bool CShellServices::FlashWindowInTaskbar(WindowHandle window, unsigned count) {
  using FlashEx = BOOL(WINAPI*)(PFLASHWINFO);
  auto fn = reinterpret_cast<FlashEx>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "FlashWindowEx")));
  if (!fn) return false;
  FLASHWINFO fi{};
  fi.cbSize = sizeof fi;
  fi.hwnd = static_cast<HWND>(window);
  fi.dwFlags = FLASHW_TRAY;
  fi.uCount = count;
  return fn(&fi) || true;
}

void CShellServices::ShowError(const std::string& text) { framework::MessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

bool CShellPrompts::ConfirmDeleteEvent(const std::string& name) {
  // Named, so that a row the user did not mean to pick is not deleted unseen.
  return framework::MessageBox("Delete Current Event?\n\n\"" + name + "\"", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool CShellPrompts::AskDeleteOccurrence(const std::string& prompt, int* choice) {
  dialogs::CDeleteOccurrenceDlg dlg;
  dlg.prompt = prompt;
  dlg.choice = *choice;
  if (dlg.DoModal() != IDOK) return false;
  *choice = dlg.choice == 1 ? kDeleteAllOccurrences : kDeleteThisOccurrence;
  return true;
}

WarningAnswer CShellPrompts::ShowWarning(const WarningRequest& request) {
  dialogs::CWarningDlg dlg;
  dlg.message = request.message;
  dlg.caption = request.caption;
  dlg.checkText = request.checkBoxText;
  dlg.buttons = request.okOnly ? 0 : MB_YESNO;
  dlg.helpContext = request.helpContext == 0 ? -1 : request.helpContext;
  int r = dlg.DoModal();
  WarningAnswer a;
  a.accepted = r == IDYES || r == IDOK;
  a.dontShowAgain = dlg.doNotShow == 1;
  return a;
}

void ShowNotAvailable(const std::string& what) {
  framework::MessageBox(what + " is not available in this version yet.", MB_OK | MB_ICONINFORMATION);
}

void CShellStoragePrompts::ShowMessage(const std::string& text, PromptIcon icon) {
  framework::MessageBox(text, MB_OK | static_cast<UINT>(icon));
}

bool CShellStoragePrompts::AskYesNo(const std::string& text, PromptIcon icon) {
  return framework::MessageBox(text, MB_YESNO | static_cast<UINT>(icon)) == IDYES;
}

DamagedChoice CShellStoragePrompts::AskDamagedCalendar(const std::string& text, bool hasBackup) {
  const int answer = framework::MessageBox(
      text, (hasBackup ? MB_YESNOCANCEL | MB_DEFBUTTON3 : MB_YESNO | MB_DEFBUTTON2) | MB_ICONEXCLAMATION,
      "Damaged Calendar");
  if (answer == IDYES) return hasBackup ? DamagedChoice::kRestoreBackup : DamagedChoice::kRebuild;
  if (answer == IDNO && hasBackup) return DamagedChoice::kRebuild;
  return DamagedChoice::kLeaveClosed;
}

bool CShellStoragePrompts::AskArmActions(const std::string& text) {
  // Enter (or a close) keeps the actions off; a long list scrolls.
  CArmActionsDlg dlg;
  return dlg.Ask(text);
}

void CShellStoragePrompts::ShowCaptionedMessage(const std::string& text, const std::string& caption,
                                                PromptIcon icon) {
  framework::MessageBox(text, MB_OK | static_cast<UINT>(icon), caption);
}

bool CShellStoragePrompts::AskCaptionedYesNo(const std::string& text, const std::string& caption, PromptIcon icon) {
  return framework::MessageBox(text, MB_YESNO | static_cast<UINT>(icon), caption) == IDYES;
}

void CShellStoragePrompts::ShowImportLog(const std::string& text) {
  framework::CApplication* app = framework::TheApp();
  dialogs::CLogDlg dlg(app ? app->GetMainWindow() : nullptr);
  dlg.text = text;
  dlg.DoModal();
}

bool CShellStoragePrompts::SelectNewFileName(const std::string& proposed, std::string* path) {
  framework::CApplication* app = framework::TheApp();
  framework::CFileDialog dlg(false, "akv", proposed, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "Event Files (*.akv)|*.akv|All Files (*.*)|*.*||", app ? app->GetMainWindow() : nullptr);
  dlg.title = "Select New File Name";
  if (dlg.DoModal() != IDOK) return false;
  *path = dlg.GetPathName();
  return true;
}

bool CShellStoragePrompts::AskAddOrPreview() {
  shellcontrols::CPreviewPromptDlg dlg;
  return dlg.DoModal() == IDOK;
}
