#include "shell/app/hand_over.h"

#include <cctype>
#include <cstring>

#include "shell/app/almacora_app.h"
#include "shell/app/private_messages.h"

namespace {

constexpr UINT kHandOverTimeoutMs = 5 * 60 * 1000;

bool IsAbsolute(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return true;
  return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

struct SearchOwnerQuery {
  std::string line;
  bool handedOver = false;
};

BOOL CALLBACK EnumSearchOwnerProc(HWND hwnd, LPARAM param) {
  auto* query = reinterpret_cast<SearchOwnerQuery*>(param);
  char cls[256] = "";
  ::GetClassNameA(hwnd, cls, 255);
  if (std::strcmp(cls, kMainWindowClass) != 0) return TRUE;
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutA(hwnd, WM_QUERYSEARCHOWNER, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer) || answer == 0)
    return TRUE;
  query->handedOver = SendCommandLine(hwnd, query->line);
  return FALSE;
}

}  // namespace

std::string TrimmedCommandLine(const std::string& line) {
  size_t b = 0, e = line.size();
  while (b < e && std::isspace(static_cast<unsigned char>(line[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(line[e - 1]))) --e;
  return line.substr(b, e - b);
}

bool IsWebcalLine(const std::string& trimmed) {
  if (trimmed.size() < 7) return false;
  std::string head = trimmed.substr(0, 7);
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head == "/webcal";
}

std::string HandOverPath(const std::string& trimmed, const std::string& currentFolder) {
  std::string path = trimmed;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  path = TrimmedCommandLine(path);
  if (path.find_first_of("\\/") == std::string::npos) return path;
  if (IsAbsolute(path)) return path;
  std::string joined = currentFolder + path;
  char full[MAX_PATH] = "";
  DWORD n = ::GetFullPathNameA(joined.c_str(), sizeof full, full, nullptr);
  return (n > 0 && n < sizeof full) ? std::string(full) : joined;
}

bool SendCommandLine(HWND target, const std::string& text) {
  COPYDATASTRUCT cds{};
  cds.dwData = 0;
  cds.cbData = static_cast<DWORD>(text.size() + 1);
  cds.lpData = const_cast<char*>(text.c_str());
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG,
                               kHandOverTimeoutMs, &result) != 0;
}

bool ReadHandedOverText(const COPYDATASTRUCT* data, std::string* text) {
  if (!data || data->dwData != 0 || !data->lpData || data->cbData == 0) return false;
  const char* p = static_cast<const char*>(data->lpData);
  const void* nul = std::memchr(p, '\0', data->cbData);
  if (!nul) return false;
  text->assign(p, static_cast<const char*>(nul));
  return true;
}

bool HandOverToSearchOwner(const std::string& untrimmedLine) {
  SearchOwnerQuery query;
  query.line = untrimmedLine;
  ::EnumWindows(&EnumSearchOwnerProc, reinterpret_cast<LPARAM>(&query));
  return query.handedOver;
}

void BringWindowToFront(HWND hwnd) {
  if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOW);
  if (::IsIconic(hwnd)) ::ShowWindow(hwnd, SW_RESTORE);
  DWORD mine = ::GetWindowThreadProcessId(hwnd, nullptr);
  DWORD theirs = 0;
  HWND fg = ::GetForegroundWindow();
  if (fg) theirs = ::GetWindowThreadProcessId(fg, nullptr);
  bool attached = theirs && theirs != mine && ::AttachThreadInput(theirs, mine, TRUE);
  ::SetActiveWindow(hwnd);
  if (!::SetForegroundWindow(hwnd)) ::FlashWindow(hwnd, TRUE);
  if (attached) ::AttachThreadInput(theirs, mine, FALSE);
}
