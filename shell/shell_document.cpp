#include "shell/shell_document.h"

#include <cctype>
#include <ctime>

#include "framework/application.h"
#include "model/program_settings.h"
#include "model/services/model_services.h"
#include "shell/almacora_app.h"
#include "shell/private_messages.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

int TodayNumber() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return st.wYear * 10000 + st.wMonth * 100 + st.wDay;
}

// The show command for the start-up mode: 2 hidden; 3 hidden when no
// event is in warning; 4 hidden when the program already started normally
// today, else normal (and today recorded); otherwise normal, maximized
// when the window was left maximized.
int StartupShowCommand(int warningCount) {
  switch (g_Settings.WinStartupMode) {
    case 2:
      return SW_HIDE;
    case 3:
      if (warningCount == 0) return SW_HIDE;
      break;
    case 4: {
      int today = TodayNumber();
      if (g_Settings.LastNormalStartupDate == today) return SW_HIDE;
      g_Settings.LastNormalStartupDate = today;
      g_Settings.WriteInt("LastNormalStartupDate", today);
      break;
    }
    default:
      break;
  }
  return g_Settings.Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
}

}  // namespace

CShellDocument::CShellDocument() {
  displayMode_ = g_Settings.ShowState ? 1 : 0;
  for (size_t i = 0; i < g_Settings.DataFilePaths.size(); ++i) {
    if (g_Settings.DataFilePaths[i].empty()) continue;
    bool enabled = i >= g_Settings.DataFileEnabled.size() || g_Settings.DataFileEnabled[i] != 0;
    CalendarListEntry e;
    e.path = ResolveCalendarPath(g_Settings.DataFilePaths[i]);
    e.openState = enabled ? 1 : 0;
    e.id = nextId_++;
    if (!HasCalendar(e.path)) calendars_.push_back(e);
  }
  if (g_Settings.DefaultFile >= 1 && g_Settings.DefaultFile <= static_cast<int>(calendars_.size()))
    defaultId_ = calendars_[static_cast<size_t>(g_Settings.DefaultFile - 1)].id;
  if (framework::CApplication* app = framework::TheApp()) app->SetShowCommand(StartupShowCommand(GetWarningCount()));
  GetModelServices().document = this;
}

CShellDocument::~CShellDocument() {
  if (GetModelServices().document == this) GetModelServices().document = nullptr;
}

std::string CShellDocument::ResolveCalendarPath(const std::string& path) {
  if (path.empty()) return path;
  if (path.find_first_of("\\/:") == std::string::npos) return g_ProgramFolder + path;
  return path;
}

bool CShellDocument::HasCalendar(const std::string& path) const {
  const std::string wanted = Upper(path);
  for (const CalendarListEntry& e : calendars_)
    if (Upper(e.path) == wanted) return true;
  return false;
}

bool CShellDocument::OpenEventFile(const std::string& path) {
  std::string full = ResolveCalendarPath(path);
  if (full.empty()) return false;
  if (HasCalendar(full)) return true;
  CalendarListEntry e;
  e.path = full;
  e.openState = 1;
  e.id = nextId_++;
  if (calendars_.empty()) defaultId_ = e.id;
  calendars_.push_back(e);
  RecountAndRefresh();
  return true;
}

void CShellDocument::SetViewMode(int mode) {
  if (mode == displayMode_) return;
  displayMode_ = mode;
  UpdateAllViews(nullptr, kHintReload);
}

void CShellDocument::RecountAndRefresh() { UpdateAllViews(nullptr, kHintReload); }

void CShellDocument::ResetAllEvents() { RecountAndRefresh(); }

int16_t CShellDocument::SaveEvent(CCalEvent&, int, int, int) { return 0; }

void CShellDocument::SaveEventAndRefresh(CCalEvent&, int, int, int) { RecountAndRefresh(); }

CalendarListEntry CShellDocument::GetCalendarEntry(int index) const {
  if (index < 0 || index >= GetCalendarCount()) return CalendarListEntry{};
  return calendars_[static_cast<size_t>(index)];
}
