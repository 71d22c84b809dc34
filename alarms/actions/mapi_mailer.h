// The Simple MAPI transport of the alarm e-mail. CMapiMailer loads
// MAPI32.DLL at run time from the system folder only (never the search
// path, which holds the current folder), so the program runs where no mail
// system is installed. A mailer and its message belong to the thread that
// made them; the library is loaded and freed per mailer.
//
// Result codes are Simple MAPI's: 0 success, 1 the user cancelled, 2 a
// general failure (also: the library is missing or lacks one of its five
// entry points; nothing is then called), 3 logon failure, ...
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace alarms {

class CMapiMessage {
 public:
  std::vector<std::string> to, cc, bcc;
  std::string subject, body;
  std::vector<std::string> attachments, attachmentTitles;

  // Cuts the text at commas and semicolons, trims the pieces and appends
  // the non-empty ones to the class (0 To, 1 Cc, 2 Bcc; another class: To).
  bool AddRecipients(const std::string& text, int recipientClass);
};

class CMapiMailer {
 public:
  CMapiMailer();  // loads the library
  ~CMapiMailer();  // logs off and unloads
  CMapiMailer(const CMapiMailer&) = delete;
  CMapiMailer& operator=(const CMapiMailer&) = delete;

  bool IsLoaded() const { return library_ != nullptr; }
  void Load();
  void Unload();

  // Without interaction (the worker thread) no call gets a window or the
  // logon-UI flag. On by default (the GUI thread's Test button).
  bool interactive = true;

  // Attaches to a running mail client's session (no window, flags 0).
  bool LogonShared();
  // A named profile (new session); an empty name lets the mail system ask
  // (logon UI over the owner or main window, when interactive). A refusal
  // other than a cancel (1, stored as the last error) is retried once as a
  // shared logon.
  bool Logon(const std::string& profile, const std::string& password, HWND owner);
  bool Send(CMapiMessage& message, bool resolveNames, bool showDialog, HWND owner);
  ULONG GetLastError() const { return lastError_; }

  // The folder MAPI32.DLL is loaded from (default: the system folder).
  static void SetLibraryFolder(const std::string& folder);

 private:
  void Logoff();
  HWND DefaultWindow(HWND owner) const;

  ULONG_PTR session_ = 0;
  ULONG lastError_ = 0;
  HMODULE library_ = nullptr;
  FARPROC logon_ = nullptr, logoff_ = nullptr, sendMail_ = nullptr, resolveName_ = nullptr, freeBuffer_ = nullptr;
};

// The alarm's MAPI send: "Missing recipient address", "Couldn't login to
// MAPI!, Error:%d", "Couldn't send message!\nError:%d", or empty.
// interactive: false on the worker thread.
std::string SendMapiMail(bool shared, const std::string& profile, const std::string& recipients,
                         const std::string& subject, const std::string& message, bool interactive);

}  // namespace alarms
