// The questions and messages the calendar storage puts to the user. The
// dialogs implement IStoragePrompts and register it in StorageServices
// (storage_services.h); tests register a fake that answers as told and
// records every text.
#pragma once

#include <string>
#include <vector>

class IProgressWindow;

// Icons of a message box (the platform's MB_ICON... values).
enum class PromptIcon { kNone = 0, kError = 0x10, kQuestion = 0x20, kExclamation = 0x30, kInformation = 0x40 };

// One local event a refresh did not find on the server.
struct RefreshDeleteItem {
  std::string uid;
  std::string name;
};

// What to do with a calendar the engine refused as damaged.
enum class DamagedChoice { kLeaveClosed, kRestoreBackup, kRebuild };

// The publish warning's answers ("Calendar found at this address.").
enum class OverwriteChoice { kCancel = 2, kOverwrite = 2000, kRefreshFirst = 2001 };

// The login of an Internet calendar, in and out.
struct CalendarLogin {
  std::string user;
  std::string password;
  bool remember = true;
  bool offerRemember = true;  // the remember box is shown
};

class IStoragePrompts {
 public:
  virtual ~IStoragePrompts() = default;

  // A message box titled with the program name, one OK button.
  virtual void ShowMessage(const std::string& text, PromptIcon icon) = 0;
  // A Yes/No box; true on Yes.
  virtual bool AskYesNo(const std::string& text, PromptIcon icon) = 0;
  // "Add calendar to master calendar list or preview calendar?": true for
  // Add, false for Preview (or any other end).
  virtual bool AskAddOrPreview() = 0;
  // The login dialog on *login; false when cancelled (*login unchanged),
  // true with the three values taken back.
  virtual bool PromptLogin(CalendarLogin* login) = 0;
  // The question about alarm actions a calendar file brought from
  // elsewhere (the text names the events and their programs and
  // addresses); true only on an explicit Yes. No is the default button.
  virtual bool AskArmActions(const std::string& /*text*/) { return false; }
  // The iCalendar import's error dialog with the message: 1 "Skip Event",
  // 2 "Cancel Import" (also when closed with its close box). Prompts that
  // do not show it cancel.
  virtual int AskSkipOrCancel(const std::string& /*message*/) { return 2; }
  // A calendar the engine refused as damaged (the text says which and what
  // each button does): Yes restores the last backup, No rebuilds, Cancel
  // leaves it closed; without a backup Yes rebuilds and No leaves it
  // closed. Prompts that do not ask leave it closed.
  virtual DamagedChoice AskDamagedCalendar(const std::string& /*text*/, bool /*hasBackup*/) {
    return DamagedChoice::kLeaveClosed;
  }

  // ---- The imports and the old-file conversion. Each has a plain default
  // so that prompts which never meet an import need not implement it.
  // A message box / Yes-No box with its own caption (empty: the program
  // name).
  virtual void ShowCaptionedMessage(const std::string& text, const std::string& caption, PromptIcon icon) {
    (void)caption;
    ShowMessage(text, icon);
  }
  virtual bool AskCaptionedYesNo(const std::string& text, const std::string& caption, PromptIcon icon) {
    (void)caption;
    return AskYesNo(text, icon);
  }
  // The import log dialog (CLogDlg) showing the whole text.
  virtual void ShowImportLog(const std::string& text) { (void)text; }
  // The save dialog "Select New File Name" for a converted old file,
  // proposing a name; true with the chosen path, false when cancelled.
  virtual bool SelectNewFileName(const std::string& proposed, std::string* path) {
    (void)proposed;
    (void)path;
    return false;
  }

  // ---- Internet calendars.
  // "Calendar Refresh - Delete Events": *ticked in holds one start flag per
  // item; a non-empty `warning` stands in place of the usual heading (and
  // then the default button deletes nothing). True on "Delete Selected"
  // with *ticked one flag per item, false on Cancel.
  virtual bool ChooseEventsToDelete(const std::vector<RefreshDeleteItem>& /*items*/, const std::string& /*warning*/,
                                    std::vector<bool>* /*ticked*/) {
    return false;
  }
  // "Calendar Publish Warning": refresh first, overwrite or cancel.
  virtual OverwriteChoice AskOverwrite() { return OverwriteChoice::kCancel; }
  // The shared warning with "Do not show this warning in the future";
  // true when that box was ticked.
  virtual bool ShowWarning(const std::string& /*message*/, const std::string& /*caption*/, bool /*okOnly*/) {
    return false;
  }
  // A modeless progress window with the title, shown above the window the
  // work was started from (which takes no input until Done); null when
  // none can be made (the work then runs without one).
  virtual IProgressWindow* OpenProgressWindow(const std::string& /*title*/) { return nullptr; }
};
