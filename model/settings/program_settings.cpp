#include "model/settings/program_settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "model/services/model_services.h"
#include "model/settings/settings_keys.h"
#include "platform/locale.h"
#include "platform/profile_store.h"

CProgramSettings g_Settings;

namespace {

// Guards against a damaged count that would make loading read a million
// keys; real lists are a few dozen entries long.
constexpr int32_t kMaxListEntries = 999;

std::string Numbered(const char* base, int i) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%02d", base, i);
  return buf;
}

const char* const kStandardTypes[] = {"Alarm", "Anniversary", "Birthday", "Holiday", "Meeting", "Work"};

// What the two resets put back to the defaults of the key table: list
// column widths, window position and size, calendar mode; and the print
// columns with their widths.
const char* const kWindowLayoutKeys[] = {
    "width_date", "width_day", "width_time", "width_name", "width_age", "width_days_left", "width_type",
    "width_notes_flag", "width_alarm_flag", "WinPosX", "WinPosY", "WinSizeX", "WinSizeY", "Maximized",
    "WinCentered", "GridSizeY", "LastListSize", "ShowState", "ShowToolbar", "SaveOnExit", "CalMode"};
const char* const kPrintColumnKeys[] = {
    "print_name", "print_day", "print_date", "print_days_left", "print_time", "print_age", "print_type",
    "print_width_name", "print_width_day", "print_width_date", "print_width_days_left", "print_width_time",
    "print_width_age", "print_width_type"};

// Sets each named number key to its fixed default from the key table.
template <size_t N>
void ResetToDefaults(CProgramSettings& s, const char* const (&names)[N]) {
  for (const SettingsKey& k : AllSettingsKeys()) {
    if (std::none_of(std::begin(names), std::end(names),
                     [&](const char* n) { return std::strcmp(n, k.name) == 0; }))
      continue;
    if (k.type == SettingsKey::Type::kInt) s.*k.intMember = k.numberDefault;
    if (k.type == SettingsKey::Type::kInt16) s.*k.shortMember = static_cast<int16_t>(k.numberDefault);
  }
}

}  // namespace

CProgramSettings::CProgramSettings() : Metric(platform::LocaleMeasuresMetric() ? 1 : 0) {
  SetWindowLayoutDefaults();
  SetPrintColumnDefaults();
}

CProgramSettings::~CProgramSettings() { DeleteFontObjects(); }

void CProgramSettings::SetProfile(platform::ProfileStore* profile) { profile_ = profile; }

platform::ProfileStore* CProgramSettings::GetProfile() { return Profile(); }

platform::ProfileStore* CProgramSettings::Profile() {
  if (profile_) return profile_;
  if (!ownProfile_) ownProfile_.reset(new platform::ProfileStore());
  return ownProfile_.get();
}

void CProgramSettings::SetWindowLayoutDefaults() { ResetToDefaults(*this, kWindowLayoutKeys); }

void CProgramSettings::SetPrintColumnDefaults() { ResetToDefaults(*this, kPrintColumnKeys); }

void CProgramSettings::LoadSettings() {
  platform::ProfileStore* p = Profile();
  CDateTime today = CDateTime::Today();
  int month = 0, day = 0, year = 0;
  today.GetDate(&month, &day, &year);
  const int32_t julianDay = today.GetJulianDay();

  for (const SettingsKey& k : AllSettingsKeys()) {
    switch (k.type) {
      case SettingsKey::Type::kInt:
        this->*k.intMember = p->GetInt(kSection, k.name, SettingsNumberDefault(k, year, month, day, julianDay));
        break;
      case SettingsKey::Type::kInt16:
        // Read as 32 bits, kept in 16: the low half survives.
        this->*k.shortMember = static_cast<int16_t>(p->GetInt(kSection, k.name, k.numberDefault));
        break;
      case SettingsKey::Type::kText:
        this->*k.textMember = p->GetString(kSection, k.name, k.textDefault);
        break;
      case SettingsKey::Type::kFont: {
        std::string text = p->GetString(kSection, k.name, k.textDefault);
        LogFont font;
        if (!ParseFontText(text, &font)) {
          // Not a font description: the key's default stands in for it.
          text = k.textDefault;
          ParseFontText(text, &font);
        }
        this->*k.textMember = text;
        this->*k.fontMember = font;
        break;
      }
    }
  }
  LoadDataFiles();
  LoadEventTypes();

  SettingsCreated = ConfigExists == 0 ? 1 : 0;
  if (ConfigExists == 0) {
    ImportOldSettings();
    SaveSettings();
  }
  if (EventTypeNames.empty()) {
    for (const char* name : kStandardTypes) EventTypeNames.push_back(name);
  }
  // Every type has a colour: a saved one, else the one its name suggests.
  if (EventTypeColors.size() > EventTypeNames.size()) EventTypeColors.resize(EventTypeNames.size());
  for (size_t i = EventTypeColors.size(); i < EventTypeNames.size(); ++i)
    EventTypeColors.push_back(DefaultTypeColor(EventTypeNames[i]));
  RecreateFonts();
}

void CProgramSettings::LoadDataFiles() {
  platform::ProfileStore* p = Profile();
  DataFilePaths.clear();
  DataFileEnabled.clear();
  DefaultFile = p->GetInt(kSection, "DefaultFile", 1);
  int32_t count = p->GetInt(kSection, "NumFiles", -1);
  if (count == -1) {
    // Never saved: the one file of the oldest profiles.
    DataFilePaths.push_back(p->GetString(kSection, "DataFile", "events.akv"));
    DataFileEnabled.push_back(1);
    return;
  }
  if (count > kMaxListEntries) count = kMaxListEntries;
  for (int i = 1; i <= count; ++i) {
    DataFilePaths.push_back(p->GetString(kSection, Numbered("DataFiles", i), ""));
    DataFileEnabled.push_back(static_cast<int16_t>(p->GetInt(kSection, Numbered("DataFilesEnabled", i), 1)));
  }
}

void CProgramSettings::LoadEventTypes() {
  platform::ProfileStore* p = Profile();
  EventTypeNames.clear();
  EventTypeColors.clear();
  DefaultType = p->GetInt(kSection, "DefaultType", -1);
  int32_t count = p->GetInt(kSection, "NumTypes", 0);
  if (count > kMaxListEntries) count = kMaxListEntries;
  for (int i = 1; i <= count; ++i) {
    std::string name = p->GetString(kSection, Numbered("EventTypes", i), "");
    int32_t colour = 0;
    // Decided per type: a stored colour wins; without one the name decides.
    if (!p->ReadInt(kSection, Numbered("EventColors", i), &colour))
      colour = static_cast<int32_t>(DefaultTypeColor(name));
    EventTypeNames.push_back(name);
    EventTypeColors.push_back(static_cast<uint32_t>(colour));
  }
}

bool CProgramSettings::SaveSettings() {
  platform::ProfileStore* p = Profile();
  p->BeginBatch();
  ConfigExists = 1;
  bool ok = true;
  for (const SettingsKey& k : AllSettingsKeys()) {
    switch (k.type) {
      case SettingsKey::Type::kInt:
        ok = p->WriteInt(kSection, k.name, this->*k.intMember) && ok;
        break;
      case SettingsKey::Type::kInt16:
        ok = p->WriteInt(kSection, k.name, this->*k.shortMember) && ok;
        break;
      case SettingsKey::Type::kText:
      case SettingsKey::Type::kFont:
        ok = p->WriteString(kSection, k.name, this->*k.textMember) && ok;
        break;
    }
  }
  SaveDataFiles();
  SaveEventTypes();
  return p->EndBatch() && ok;
}

void CProgramSettings::SaveEventTypes() {
  platform::ProfileStore* p = Profile();
  p->WriteInt(kSection, "DefaultType", DefaultType);
  p->WriteInt(kSection, "NumTypes", static_cast<int32_t>(EventTypeNames.size()));
  for (size_t i = 0; i < EventTypeNames.size(); ++i)
    p->WriteString(kSection, Numbered("EventTypes", static_cast<int>(i + 1)), EventTypeNames[i]);
  for (size_t i = 0; i < EventTypeColors.size(); ++i)
    p->WriteInt(kSection, Numbered("EventColors", static_cast<int>(i + 1)),
                static_cast<int32_t>(EventTypeColors[i]));
}

void CProgramSettings::SaveDataFiles() {
  IEventDocument* doc = GetModelServices().document;
  if (!doc || KeepStoredCalendarList) return;
  platform::ProfileStore* p = Profile();
  const int defaultId = doc->GetDefaultCalendarId();
  std::vector<std::string> written;
  int n = 0;
  for (int i = 0; i < doc->GetCalendarCount(); ++i) {
    CalendarListEntry e = doc->GetCalendarEntry(i);
    if (e.openState == 3) continue;  // a read-only preview is not the user's list
    ++n;
    p->WriteString(kSection, Numbered("DataFiles", n), e.path);
    p->WriteInt(kSection, Numbered("DataFilesEnabled", n), e.openState == 1 ? 1 : 0);
    if (e.id == defaultId) p->WriteInt(kSection, "DefaultFile", n);
    written.push_back(e.path);
  }
  for (const std::string& path : RetryDataFiles) {
    bool listed = false;
    for (const std::string& w : written) listed = listed || w == path;
    if (listed) continue;
    ++n;
    p->WriteString(kSection, Numbered("DataFiles", n), path);
    p->WriteInt(kSection, Numbered("DataFilesEnabled", n), 1);
    written.push_back(path);
  }
  p->WriteInt(kSection, "NumFiles", n);
}

bool CProgramSettings::WriteString(const std::string& key, const std::string& text) {
  return Profile()->WriteString(kSection, key, text);
}

bool CProgramSettings::WriteInt(const std::string& key, int32_t value) {
  return Profile()->WriteInt(kSection, key, value);
}

void CProgramSettings::DeleteFontObjects() {
  IShellServices* shell = GetModelServices().shell;
  IShellServices::FontHandle* fonts[] = {&CalHeadingFontObject, &CalWeekHeadingFontObject,
                                         &CalItemFontObject};
  for (IShellServices::FontHandle* f : fonts) {
    if (*f && shell) shell->DeleteFont(*f);
    *f = nullptr;
  }
}

void CProgramSettings::RecreateFonts() {
  DeleteFontObjects();
  IShellServices* shell = GetModelServices().shell;
  if (!shell) return;
  CalHeadingFontObject = shell->CreatePointFont(CalHeadingLogFont);
  CalWeekHeadingFontObject = shell->CreatePointFont(CalWeekHeadingLogFont);
  CalItemFontObject = shell->CreatePointFont(CalItemLogFont);
}

uint32_t CProgramSettings::DefaultTypeColor(const std::string& name) {
  if (name == "Alarm") return 0x000080;
  if (name == "Anniversary") return 0xA00000;
  if (name == "Birthday") return 0xFF8000;
  if (name == "Holiday") return 0x0000FF;
  if (name == "Meeting") return 0x0080FF;
  if (name == "Work") return 0x00C000;
  return 0x800000;
}

uint32_t CProgramSettings::GetTypeColor(const std::string& typeName) const {
  if (ColorCode) {
    for (size_t i = 0; i < EventTypeNames.size(); ++i) {
      if (EventTypeNames[i] == typeName) {
        if (i < EventTypeColors.size()) return EventTypeColors[i];
        break;
      }
    }
  }
  return static_cast<uint32_t>(BlankTypeColor);
}

bool CProgramSettings::FlashWindowInTaskbar(IShellServices::WindowHandle window, unsigned count) {
  IShellServices* shell = GetModelServices().shell;
  return shell && shell->FlashWindowInTaskbar(window, count);
}
