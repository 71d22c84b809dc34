// A stand-in MAPI32.DLL for the alarm e-mail tests: the five Simple MAPI
// entry points the mailer uses, each appending one line to the file named
// by FAKE_MAPI_LOG and answering from FAKE_MAPI_RESULTS ("logon=2,0;send=0":
// the results of the successive calls; 0 once a list runs out).
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
int g_calls[2];  // logon, send

ULONG Result(const char* name, int index) {
  char spec[256] = {};
  if (!::GetEnvironmentVariableA("FAKE_MAPI_RESULTS", spec, sizeof spec)) return 0;
  std::string s(spec), key = std::string(name) + "=";
  size_t at = s.find(key);
  if (at == std::string::npos) return 0;
  std::string list = s.substr(at + key.size(), s.find(';', at) == std::string::npos ? std::string::npos
                                                                                      : s.find(';', at) - at - key.size());
  size_t pos = 0;
  for (int i = 0; i < index; ++i) {
    pos = list.find(',', pos);
    if (pos == std::string::npos) return 0;
    ++pos;
  }
  return static_cast<ULONG>(std::strtoul(list.c_str() + pos, nullptr, 10));
}

void Log(const std::string& line) {
  char path[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("FAKE_MAPI_LOG", path, MAX_PATH)) return;
  FILE* f = std::fopen(path, "ab");
  if (!f) return;
  std::fprintf(f, "%s thread=%lu\n", line.c_str(), ::GetCurrentThreadId());
  std::fclose(f);
}

std::string Window(ULONG_PTR w) { return w ? "window" : "none"; }
std::string Text(const char* s) { return s ? s : "(null)"; }
}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR, FLAGS flags, ULONG, LPLHANDLE session) {
  Log("MAPILogon flags=" + std::to_string(flags) + " window=" + Window(ui) + " profile=" + Text(profile));
  ULONG r = Result("logon", g_calls[0]++);
  *session = r == 0 ? 77 : 0;
  return r;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
  Log("MAPILogoff session=" + std::to_string(session));
  return 0;
}

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR ui, lpMapiMessage m, FLAGS flags, ULONG) {
  std::string line = "MAPISendMail session=" + std::to_string(session) + " flags=" + std::to_string(flags) +
                     " window=" + Window(ui) + " recipients=";
  for (ULONG i = 0; i < m->nRecipCount; ++i)
    line += std::to_string(m->lpRecips[i].ulRecipClass) + ":" + Text(m->lpRecips[i].lpszName) + ",";
  line += " subject=" + Text(m->lpszSubject) + " note=" + Text(m->lpszNoteText);
  Log(line);
  return Result("send", g_calls[1]++);
}

__declspec(dllexport) ULONG WINAPI MAPIResolveName(LHANDLE, ULONG_PTR, LPSTR name, FLAGS, ULONG, lpMapiRecipDesc* out) {
  Log("MAPIResolveName name=" + Text(name));
  *out = nullptr;
  return MAPI_E_UNKNOWN_RECIPIENT;
}

__declspec(dllexport) ULONG WINAPI MAPIFreeBuffer(LPVOID) { return 0; }
}
