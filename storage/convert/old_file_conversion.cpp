#include "storage/convert/old_file_conversion.h"

#include "platform/error_text.h"
#include "platform/os_file.h"
#include "storage/convert/convert_prompts.h"
#include "storage/convert/convert_texts.h"
#include "storage/convert/file_bytes.h"
#include "storage/convert/old_event_files.h"

namespace {

// Backups past this many are taken for a folder something is wrong with.
constexpr int kMaxBackupNumber = 9999;

bool Exists(const std::string& path) { return platform::OsFileExists(path.c_str()); }

// Creates the new file and reads the old one into it.
int ConvertInto(OldFileVersion version, const std::string& oldPath, const std::string& newPath,
                IConversionCalendar* calendar, IConvertPrompts* prompts) {
  if (!calendar->CreateEventFile(newPath)) return 0;
  OldReadCounts counts;
  ReadOldEvents(version, oldPath, calendar->Target(), prompts, &counts);
  calendar->NameFromPathIfUnnamed();
  return 1;
}

// The old file opens and carries the version's header (1.2 files have
// none); false after telling the user.
bool CheckReadable(OldFileVersion version, const std::string& path, IConvertPrompts* prompts) {
  OldFileVersion found = OldFileVersion::kNone;
  int nativeError = 0;
  if (!DetectOldEventFile(path, &found, &nativeError)) {
    ConvertMessage(prompts, platform::SystemErrorText(nativeError), ConvertIcon::kInformation);
    return false;
  }
  if (version == OldFileVersion::k20 && found != OldFileVersion::k20) {
    ConvertMessage(prompts, convert_text::kNotValid20, ConvertIcon::kExclamation);
    return false;
  }
  return true;
}

}  // namespace

bool BackUpEventFile(const std::string& folder) {
  const std::string events = folder + "events.akv";
  if (!Exists(events)) return true;
  for (int n = 0; n <= kMaxBackupNumber; ++n) {
    const std::string backup = folder + "default" + (n == 0 ? std::string() : std::to_string(n)) + ".akv";
    if (Exists(backup)) continue;
    return CopyToNewFile(events, backup);
  }
  return false;
}

int ConvertOldEventFiles(const std::string& programFolder, bool reportMissing, IConversionCalendar* calendar,
                         IConvertPrompts* prompts) {
  OldFileVersion version;
  std::string oldPath;
  const char* question;
  if (Exists(programFolder + "events20.dat")) {
    version = OldFileVersion::k20;
    oldPath = programFolder + "events20.dat";
    question = convert_text::kAskConvert20;
  } else if (Exists(programFolder + "events.dat")) {
    version = OldFileVersion::k12;
    oldPath = programFolder + "events.dat";
    question = convert_text::kAskConvert12;
  } else {
    if (reportMissing) ConvertMessage(prompts, convert_text::kNoOldFile, ConvertIcon::kInformation);
    return 0;
  }
  if (!ConvertAskYesNo(prompts, question, ConvertIcon::kQuestion)) {
    ConvertMessage(prompts, convert_text::kNotConvertedLater, ConvertIcon::kInformation);
    return 0;
  }
  const std::string newPath = programFolder + "events.akv";
  if (calendar->IsOpenInCalendarList(newPath)) {
    ConvertMessage(prompts, convert_text::kEventsFileOpen, ConvertIcon::kExclamation);
    return 0;
  }
  if (!CheckReadable(version, oldPath, prompts)) return 0;
  if (!BackUpEventFile(programFolder)) {
    ConvertMessage(prompts, convert_text::kBackupFailed, ConvertIcon::kExclamation);
    return 0;
  }
  return ConvertInto(version, oldPath, newPath, calendar, prompts);
}

int OpenOldEventFile(const std::string& path, IConversionCalendar* calendar, IConvertPrompts* prompts) {
  OldFileVersion version = OldFileVersion::kNone;
  int nativeError = 0;
  if (!DetectOldEventFile(path, &version, &nativeError)) {
    ConvertMessage(prompts, platform::SystemErrorText(nativeError), ConvertIcon::kInformation);
    return 0;
  }
  if (version == OldFileVersion::kNone) {
    ConvertMessage(prompts, convert_text::kNotValidAny, ConvertIcon::kExclamation);
    return 0;
  }
  if (IImportTarget* redirect = calendar->RedirectTarget()) {
    OldReadCounts counts;
    return ReadOldEvents(version, path, redirect, prompts, &counts) ? 1 : 0;
  }
  const std::string question =
      std::string(convert_text::kOpeningOldPrefix) + OldFileVersionName(version) + convert_text::kOpeningOldSuffix;
  std::string newPath;
  if (!ConvertAskYesNo(prompts, question, ConvertIcon::kQuestion) || prompts == nullptr ||
      !prompts->SelectNewFileName(OldFileProposedName(version), &newPath) || newPath.empty() ||
      calendar->SameFile(newPath, path) || calendar->IsOpenInCalendarList(newPath)) {
    ConvertMessage(prompts, convert_text::kDataNotConverted, ConvertIcon::kExclamation);
    return 0;
  }
  return ConvertInto(version, path, newPath, calendar, prompts);
}
