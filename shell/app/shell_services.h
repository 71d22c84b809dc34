// What the shell offers the core: font objects, task-bar flashing and
// message boxes (IShellServices), and the questions of the event model
// (IEventPrompts). Registered in ModelServices by the application while it
// runs.
#pragma once

#include "model/services/event_prompts.h"
#include "model/services/display_services.h"
#include "storage/services/storage_prompts.h"

class CShellServices : public IShellServices {
 public:
  FontHandle CreatePointFont(const LogFont& font) override;
  void DeleteFont(FontHandle font) override;
  bool FlashWindowInTaskbar(WindowHandle window, unsigned count) override;
  void ShowError(const std::string& text) override;
};

class CShellPrompts : public IEventPrompts {
 public:
  bool ConfirmDeleteEvent(const std::string& name) override;
  bool AskDeleteOccurrence(const std::string& prompt, int* choice) override;
  // The warning dialog (one OK button with okOnly); a help context of 0
  // means no Help button.
  WarningAnswer ShowWarning(const WarningRequest& request) override;
};

// The storage's questions: the preview question in its own dialog; the
// Internet calendars' login, refresh-delete, publish warning and progress
// window in the sharing dialogs (shell_sharing_prompts.cpp).
class CShellStoragePrompts : public IStoragePrompts {
 public:
  void ShowMessage(const std::string& text, PromptIcon icon) override;
  bool AskYesNo(const std::string& text, PromptIcon icon) override;
  bool AskArmActions(const std::string& text) override;
  // The imports' boxes keep their own caption ("Import Results").
  void ShowCaptionedMessage(const std::string& text, const std::string& caption, PromptIcon icon) override;
  bool AskCaptionedYesNo(const std::string& text, const std::string& caption, PromptIcon icon) override;
  // The text import's log in the log dialog, over the main window.
  void ShowImportLog(const std::string& text) override;
  // "Select New File Name", the save dialog for a converted old file.
  bool SelectNewFileName(const std::string& proposed, std::string* path) override;
  bool AskAddOrPreview() override;
  bool PromptLogin(CalendarLogin* login) override;
  bool ChooseEventsToDelete(const std::vector<RefreshDeleteItem>& items, const std::string& warning,
                            std::vector<bool>* ticked) override;
  OverwriteChoice AskOverwrite() override;
  bool ShowWarning(const std::string& message, const std::string& caption, bool okOnly) override;
  IProgressWindow* OpenProgressWindow(const std::string& title) override;
  // The iCalendar import's error dialog (main_frame_calendars.cpp).
  int AskSkipOrCancel(const std::string& message) override;
  // A Yes/No/Cancel box (Yes/No without a backup) whose text says what
  // each button does; Cancel (No) is the default, leaving it closed.
  DamagedChoice AskDamagedCalendar(const std::string& text, bool hasBackup) override;
};

// Says in a box that a part of the program cannot serve now (subscribing
// before the main window exists).
void ShowNotAvailable(const std::string& what);
