#include "alarms/actions/mapi_mailer.h"

#include <mapi.h>

#include <cstdio>
#include <mutex>

#include "alarms/core/action_recipients.h"
#include "framework/application.h"

namespace alarms {

namespace {
std::mutex g_folderMutex;
std::string g_folder;

std::string LibraryPath() {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  std::string folder = g_folder;
  if (folder.empty()) {
    char sys[MAX_PATH] = {};
    UINT n = ::GetSystemDirectoryA(sys, MAX_PATH);
    folder.assign(sys, n < MAX_PATH ? n : 0);
  }
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "MAPI32.DLL";
}

constexpr ULONG kFailure = MAPI_E_FAILURE;  // 2

// Entry points are kept as the loader returns them and cast at the call.
template <class F>
F Entry(FARPROC p) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
}
}  // namespace

void CMapiMailer::SetLibraryFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  g_folder = folder;
}

bool CMapiMessage::AddRecipients(const std::string& text, int recipientClass) {
  std::vector<std::string>& list = recipientClass == 1 ? cc : recipientClass == 2 ? bcc : to;
  for (const std::string& r : SplitAlarmRecipients(text)) list.push_back(r);
  return true;
}

CMapiMailer::CMapiMailer() { Load(); }
CMapiMailer::~CMapiMailer() { Unload(); }

void CMapiMailer::Load() {
  if (library_) return;
  std::string path = LibraryPath();
  if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  library_ = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library_) return;
  logon_ = ::GetProcAddress(library_, "MAPILogon");
  logoff_ = ::GetProcAddress(library_, "MAPILogoff");
  sendMail_ = ::GetProcAddress(library_, "MAPISendMail");
  resolveName_ = ::GetProcAddress(library_, "MAPIResolveName");
  freeBuffer_ = ::GetProcAddress(library_, "MAPIFreeBuffer");
  if (!logon_ || !logoff_ || !sendMail_ || !resolveName_ || !freeBuffer_) {
    ::FreeLibrary(library_);
    library_ = nullptr;
    logon_ = logoff_ = sendMail_ = resolveName_ = freeBuffer_ = nullptr;
  }
}

void CMapiMailer::Logoff() {
  if (session_ && logoff_) {
    lastError_ = Entry<LPMAPILOGOFF>(logoff_)(session_, 0, 0, 0);
  }
  session_ = 0;
}

void CMapiMailer::Unload() {
  Logoff();
  if (library_) ::FreeLibrary(library_);
  library_ = nullptr;
  logon_ = logoff_ = sendMail_ = resolveName_ = freeBuffer_ = nullptr;
}

HWND CMapiMailer::DefaultWindow(HWND owner) const {
  if (!interactive) return nullptr;
  if (owner) return owner;
  framework::CApplication* app = framework::TheApp();
  return app ? app->GetMainWindow() : nullptr;
}

bool CMapiMailer::LogonShared() {
  Logoff();
  if (!library_) {
    lastError_ = kFailure;
    return false;
  }
  LHANDLE session = 0;
  ULONG r = Entry<LPMAPILOGON>(logon_)(0, nullptr, nullptr, 0, 0, &session);
  lastError_ = r;
  if (r != SUCCESS_SUCCESS) return false;
  session_ = session;
  return true;
}

bool CMapiMailer::Logon(const std::string& profile, const std::string& password, HWND owner) {
  Logoff();
  if (!library_) {
    lastError_ = kFailure;
    return false;
  }
  auto logon = Entry<LPMAPILOGON>(logon_);
  HWND window = nullptr;
  FLAGS flags = MAPI_NEW_SESSION;
  std::string name = profile, pass = password;
  LHANDLE session = 0;
  ULONG r;
  if (!profile.empty()) {
    r = logon(0, &name[0], &pass[0], flags, 0, &session);
  } else {
    window = DefaultWindow(owner);
    if (window) flags |= MAPI_LOGON_UI;
    r = logon(reinterpret_cast<ULONG_PTR>(window), nullptr, nullptr, flags, 0, &session);
  }
  if (r == SUCCESS_SUCCESS) {
    lastError_ = 0;
    session_ = session;
    return true;
  }
  if (r == MAPI_E_USER_ABORT) {
    lastError_ = r;  // the caller reports the cancel, not an older code
    return false;
  }
  session = 0;
  r = logon(reinterpret_cast<ULONG_PTR>(window), nullptr, nullptr, 0, 0, &session);
  lastError_ = r;
  if (r != SUCCESS_SUCCESS) return false;
  session_ = session;
  return true;
}

bool CMapiMailer::Send(CMapiMessage& message, bool resolveNames, bool showDialog, HWND owner) {
  if (!library_) {
    lastError_ = kFailure;
    return false;
  }
  if (resolveNames) {
    for (auto* list : {&message.to, &message.cc, &message.bcc}) {
      for (std::string& name : *list) {
        lpMapiRecipDesc found = nullptr;
        ULONG r = Entry<LPMAPIRESOLVENAME>(resolveName_)(session_, 0, &name[0], 0, 0, &found);
        if (r == SUCCESS_SUCCESS && found) {
          if (found->lpszName) name = found->lpszName;
          Entry<LPMAPIFREEBUFFER>(freeBuffer_)(found);
        } else {
          lastError_ = r;
        }
      }
    }
  }
  std::vector<MapiRecipDesc> recips;
  const std::vector<std::string>* lists[] = {&message.to, &message.cc, &message.bcc};
  for (ULONG cls = 0; cls < 3; ++cls) {
    for (const std::string& name : *lists[cls]) {
      MapiRecipDesc d = {};
      d.ulRecipClass = cls + 1;
      d.lpszName = const_cast<char*>(name.c_str());
      recips.push_back(d);
    }
  }
  std::vector<MapiFileDesc> files;
  for (size_t i = 0; i < message.attachments.size(); ++i) {
    MapiFileDesc f = {};
    f.nPosition = 0xFFFFFFFF;
    f.lpszPathName = const_cast<char*>(message.attachments[i].c_str());
    f.lpszFileName = const_cast<char*>(
        (i < message.attachmentTitles.size() && !message.attachmentTitles.empty() ? message.attachmentTitles[i]
                                                                                   : message.attachments[i])
            .c_str());
    files.push_back(f);
  }
  MapiMessage m = {};
  m.lpszSubject = message.subject.empty() ? nullptr : const_cast<char*>(message.subject.c_str());
  m.lpszNoteText = message.body.empty() ? nullptr : const_cast<char*>(message.body.c_str());
  m.nRecipCount = static_cast<ULONG>(recips.size());
  m.lpRecips = recips.empty() ? nullptr : recips.data();
  m.nFileCount = static_cast<ULONG>(files.size());
  m.lpFiles = files.empty() ? nullptr : files.data();
  FLAGS flags = 0;
  HWND window = nullptr;
  if (showDialog && interactive) {
    flags = MAPI_DIALOG | (session_ ? 0 : MAPI_LOGON_UI);
    window = DefaultWindow(owner);
  } else if (!session_ && interactive) {
    flags = MAPI_LOGON_UI;
  }
  ULONG r = Entry<LPMAPISENDMAIL>(sendMail_)(session_, reinterpret_cast<ULONG_PTR>(window), &m, flags, 0);
  lastError_ = r;
  return r == SUCCESS_SUCCESS;
}

std::string SendMapiMail(bool shared, const std::string& profile, const std::string& recipients,
                         const std::string& subject, const std::string& message, bool interactive) {
  if (recipients.empty()) return "Missing recipient address";
  CMapiMessage m;
  m.AddRecipients(recipients, 0);
  m.subject = subject;
  m.body = message;
  char buf[64];
  {
    CMapiMailer mailer;
    mailer.interactive = interactive;
    bool in = shared ? mailer.LogonShared() : mailer.Logon(profile, std::string(), nullptr);
    if (!in) {
      std::snprintf(buf, sizeof buf, "Couldn't login to MAPI!, Error:%lu", mailer.GetLastError());
      return buf;
    }
    if (!mailer.Send(m, false, false, nullptr)) {
      std::snprintf(buf, sizeof buf, "Couldn't send message!\nError:%lu", mailer.GetLastError());
      return buf;
    }
  }
  return std::string();
}

}  // namespace alarms
