#include "alarms/actions/alarm_log_file.h"

#include <windows.h>

#include <mutex>

#include "alarms/core/action_log.h"

namespace alarms {

namespace {
std::mutex g_pathMutex;
std::string g_path;

bool FolderWritable(const std::string& folder) {
  std::string probe = folder + "almacora_write_probe.tmp";
  HANDLE h = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

std::string ChoosePath() {
  char module[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string folder(module, n);
  size_t slash = folder.find_last_of('\\');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  if (!folder.empty() && FolderWritable(folder)) return folder + kAlarmLogFileName;
  char appData[MAX_PATH] = {};
  DWORD len = ::GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
  if (len == 0 || len >= MAX_PATH) return folder + kAlarmLogFileName;
  std::string base = std::string(appData) + "\\Corvelle Software";
  ::CreateDirectoryA(base.c_str(), nullptr);
  base += "\\Almacora";
  ::CreateDirectoryA(base.c_str(), nullptr);
  return base + "\\" + kAlarmLogFileName;
}
}  // namespace

std::string AlarmLogPath() {
  std::lock_guard<std::mutex> lock(g_pathMutex);
  if (g_path.empty()) g_path = ChoosePath();
  return g_path;
}

void SetAlarmLogPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_pathMutex);
  g_path = path;
}

void LogAlarmError(const std::string& error, const std::string& action, const std::string& eventName) {
  char date[20] = {};
  char time[20] = {};
  ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
  ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
  std::string entry = FormatAlarmLogEntry(action, eventName, date, time, error);
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, "Almacora.AlarmErrorLog");
  DWORD wait = mutex ? ::WaitForSingleObject(mutex, 5000) : WAIT_FAILED;
  AppendAlarmLog(AlarmLogPath(), entry);  // failure ignored: the actions go on
  if (mutex) {
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
  }
}

}  // namespace alarms
