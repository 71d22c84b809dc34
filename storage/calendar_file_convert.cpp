// CCalendarFile: the conversion of older event files into this calendar
// (storage/convert does the reading; this file gives it the calendar).
#include <cctype>
#include <memory>

#include "model/settings/program_settings.h"
#include "model/services/event_document.h"
#include "model/services/model_services.h"
#include "platform/paths.h"
#include "storage/calendar_file.h"
#include "storage/convert/old_file_conversion.h"
#include "storage/convert_bridge.h"

namespace {

std::string Comparable(const std::string& path) {
  std::string full = platform::FullPath(path);
  for (char& c : full) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return full;
}

class ConversionCalendar : public IConversionCalendar {
 public:
  ConversionCalendar(CCalendarFile* calendar, CEventArray* events)
      : calendar_(calendar), events_(events), target_(calendar, events, false) {}

  bool CreateEventFile(const std::string& path) override { return calendar_->CreateFile(path) != 0; }
  IImportTarget* Target() override { return &target_; }
  IImportTarget* RedirectTarget() override {
    if (calendar_->importTarget == nullptr) return nullptr;
    redirect_ = std::make_unique<CalendarImportTarget>(calendar_->importTarget, events_, false);
    return redirect_.get();
  }
  void NameFromPathIfUnnamed() override {
    if (!calendar_->name.empty()) return;
    calendar_->name = CProgramSettings::CalendarNameFromPath(calendar_->path);
    calendar_->nameFromPath = 1;
    calendar_->WriteCalInfo();
  }
  bool IsOpenInCalendarList(const std::string& path) override {
    const IEventDocument* document = GetModelServices().document;
    if (document == nullptr) return false;
    const std::string wanted = Comparable(path);
    for (int i = 0; i < document->GetCalendarCount(); ++i) {
      const CalendarListEntry entry = document->GetCalendarEntry(i);
      if (entry.openState != 0 && !entry.path.empty() && Comparable(entry.path) == wanted) return true;
    }
    return false;
  }
  bool SameFile(const std::string& a, const std::string& b) override { return Comparable(a) == Comparable(b); }

 private:
  CCalendarFile* calendar_;
  CEventArray* events_;
  CalendarImportTarget target_;
  std::unique_ptr<CalendarImportTarget> redirect_;
};

}  // namespace

int CCalendarFile::ConvertOldEventFiles(CEventArray* events, bool reportMissing) {
  ConversionCalendar host(this, events);
  StorageConvertPrompts prompts;
  return ::ConvertOldEventFiles(platform::ProgramFolder(), reportMissing, &host, &prompts);
}

int CCalendarFile::OpenOldEventFile(CEventArray* events, const std::string& path) {
  ConversionCalendar host(this, events);
  StorageConvertPrompts prompts;
  return ::OpenOldEventFile(path, &host, &prompts);
}
