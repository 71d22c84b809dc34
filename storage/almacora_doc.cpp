// CAlmacoraDoc: construction and the start-up.
#include "storage/almacora_doc.h"

#include <cctype>
#include <cstdio>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "platform/os_file.h"
#include "platform/paths.h"
#include "storage/action_guard.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// The personal calendar of a new profile: "events.akv", where the list
// names it (the program's folder when it names no folder).
std::string NewProfileCalendarPath(const std::string& listed) {
  std::string full = platform::HasFolderPart(listed) ? listed : platform::ProgramFolder() + listed;
  const size_t slash = full.find_last_of("\\/");
  std::string name = full.substr(slash == std::string::npos ? 0 : slash + 1);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name != "events.akv") return std::string();
  // Event files of the oldest versions are converted into it instead.
  for (const char* old : {"events20.dat", "events.dat"})
    if (platform::OsFileExists((platform::ProgramFolder() + old).c_str())) return std::string();
  return full;
}

}  // namespace

CAlmacoraDoc::CAlmacoraDoc() {
  previousDocument_ = GetModelServices().document;
  GetModelServices().document = this;
}

CAlmacoraDoc::~CAlmacoraDoc() {
  calendars_.DeleteAll();
  if (GetModelServices().document == this) GetModelServices().document = previousDocument_;
}

void CAlmacoraDoc::Start(const std::string& commandLine) {
  viewMode = g_Settings.ShowState;
  resyncAllowed = 1;
  startupFailed = 0;
  const int rc = StartStorageEngine();
  if (rc != 0) CCalendarFile::ReportFileError(rc);
  // Before any calendar opens: what this installation armed is known.
  actionguard::EstablishAtStart();

  std::string line = Trim(commandLine);
  if (line.compare(0, 7, "/webcal") == 0) {
    webcalAddress = Trim(line.substr(7));
    line.clear();
  }
  // A file named on the command line in a copy allowed beside the running
  // one: only that file, and the user's own calendar list is kept as it is.
  const std::string file = Trim([&] {
    std::string f;
    for (char c : line)
      if (c != '"') f += c;
    return f;
  }());
  const bool keepStoredList = g_Settings.AllowMultiple != 0 && !file.empty();
  if (keepStoredList) {
    g_Settings.KeepStoredCalendarList = true;
    calendars_.previewMode = true;
  } else {
    OpenListedCalendars();
    ConvertOldFilesOnFirstRun();
  }
  if (!file.empty()) OpenCommandLineFile(file, keepStoredList);
  RunFirstTimeWizard();
  shownCount = RollForwardEvents(viewMode);
  ApplyStartupFilter();
  ChooseStartupShow();
  calendars_.UpdateMainWindowTitle();
}

void CAlmacoraDoc::OpenListedCalendars() {
  for (size_t i = 0; i < g_Settings.DataFilePaths.size(); ++i) {
    const std::string& p = g_Settings.DataFilePaths[i];
    auto* calendar = new CCalendarFile();
    const bool enabled = i >= g_Settings.DataFileEnabled.size() || g_Settings.DataFileEnabled[i] != 0;
    calendar->openState = enabled ? CCalendarFile::kOpen : CCalendarFile::kClosed;
    // The first start: the personal calendar the new settings list does
    // not exist yet. It is made (no message), open and the default, so new
    // events never land in a holiday calendar the wizard adds.
    const std::string fresh = g_Settings.SettingsCreated ? NewProfileCalendarPath(p) : std::string();
    if (!fresh.empty() && !platform::OsFileExists(fresh.c_str())) {
      calendar->openState = CCalendarFile::kOpen;
      calendar->name = CProgramSettings::CalendarNameFromPath(fresh);
      if (calendar->CreateFile(fresh)) {
        calendars_.defaultId = calendars_.AddCalendar(calendar);
        continue;
      }
    }
    if (calendar->Open(&events_, p)) {
      const int id = calendars_.AddCalendar(calendar);
      if (g_Settings.DefaultFile == static_cast<int32_t>(i) + 1) calendars_.defaultId = id;
      continue;
    }
    delete calendar;
    char text[1200];
    std::snprintf(text, sizeof text, storage_text::kCouldNotOpen, p.c_str());
    if (StorageAskYesNo(text)) g_Settings.RetryDataFiles.push_back(p);
  }
}

void CAlmacoraDoc::ConvertOldFilesOnFirstRun() {
  if (!g_Settings.FirstRun35) return;
  g_Settings.FirstRun35 = 0;
  g_Settings.WriteInt("FirstRun35", 0);
  auto* calendar = new CCalendarFile();
  if (calendar->ConvertOldEventFiles(&events_, false)) {
    calendars_.AddCalendar(calendar);
  } else {
    delete calendar;
  }
}

void CAlmacoraDoc::OpenCommandLineFile(const std::string& file, bool keepStoredList) {
  if (calendars_.FindByPath(file) != nullptr) return;  // listed (and opened) already
  auto* calendar = new CCalendarFile();
  if (!calendar->Open(&events_, file)) {
    delete calendar;
    return;
  }
  if (!keepStoredList) {
    IStoragePrompts* prompts = GetStorageServices().prompts;
    if (prompts == nullptr || !prompts->AskAddOrPreview()) {
      calendar->openState = CCalendarFile::kPreview;
      calendar->previewFlag = 1;
    }
  }
  calendars_.AddCalendar(calendar);
}

void CAlmacoraDoc::RunFirstTimeWizard() {
  if (!g_Settings.FirstRun50) return;
  if (IStorageShell* shell = GetStorageServices().shell) shell->RunCalendarWizard(true);
  g_Settings.FirstRun50 = 0;
  g_Settings.WriteInt("FirstRun50", 0);
}

void CAlmacoraDoc::ApplyStartupFilter() {
  filterOn = 0;
  if (g_Settings.StartupFilter.empty()) return;
  std::vector<std::string> hidden;
  CProgramSettings::SplitString(g_Settings.StartupFilter, '~', &hidden);
  RebuildTypeList();
  for (size_t i = 0; i < typeNames.size(); ++i) {
    bool named = false;
    for (const auto& h : hidden) named = named || h == typeNames[i];
    typeFlags[i] = named ? 0 : 1;
    if (!named) filterOn = 1;
  }
  // Every type named: nothing is hidden.
  if (!filterOn)
    for (auto& f : typeFlags) f = 1;
}

void CAlmacoraDoc::ChooseStartupShow() {
  const CDateTime today = CDateTime::Today();
  const int32_t todayNumber = today.GetYear() * 10000 + today.GetMonth() * 100 + today.GetDay();
  const int mode = g_Settings.WinStartupMode;
  const bool outOfSight = mode == 2 || (mode == 3 && warningCount == 0) ||
                          (mode == 4 && g_Settings.LastNormalStartupDate == todayNumber);
  StartupShow show = StartupShow::kUnchanged;
  if (outOfSight) {
    show = g_Settings.TrayAvailable ? StartupShow::kHidden : StartupShow::kMinimized;
  } else {
    g_Settings.LastNormalStartupDate = todayNumber;
    g_Settings.WriteInt("LastNormalStartupDate", todayNumber);
    if (g_Settings.Maximized) show = StartupShow::kMaximized;
  }
  if (IStorageShell* shell = GetStorageServices().shell) shell->SetShowCommand(show);
}
