#include "storage/calendar_backup.h"

#include "storage/engine_error_text.h"

#include <cctype>
#include <cstdio>
#include <set>
#include <vector>

#include "isam/engine_api.h"
#include "platform/error_text.h"
#include "platform/os_file.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/calendar_list.h"
#include "storage/convert/old_event_files.h"
#include "storage/event_array.h"
#include "storage/services/storage_services.h"

namespace calbackup {

namespace {

// The engine's call that flushes an open file to the device.
constexpr uint16_t kEngineFlushFiles = 8221;
constexpr uint32_t kCopyChunk = 256 * 1024;

size_t NameStart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool Failed(FileFailure* failure) {
  if (failure != nullptr) {
    failure->fileError = platform::LastFileError();
    failure->nativeError = platform::LastNativeFileError();
  }
  return false;
}

// Copies every byte of `in` to `out` from the start.
bool CopyBytes(platform::OsFile* in, platform::OsFile* out) {
  std::vector<unsigned char> buffer(kCopyChunk);
  if (!platform::SeekOsFile(in, 0)) return false;
  for (;;) {
    uint32_t got = 0;
    if (!platform::ReadOsFile(in, buffer.data(), kCopyChunk, &got)) return false;
    if (got == 0) return true;
    uint32_t put = 0;
    if (!platform::WriteOsFile(out, buffer.data(), got, &put)) return false;
    // A short read is not taken as the end: only a read that moves nothing.
  }
}

// Removes a temporary file once the failure has been recorded.
void RemoveQuietly(const std::string& path) { platform::DeleteOsFile(path.c_str()); }

}  // namespace

std::string BackupFileName(const std::string& calendarPath) {
  std::string name = calendarPath.substr(NameStart(calendarPath));
  const size_t akv = name.find(".akv");
  if (akv != std::string::npos) name.erase(akv);
  return name + ".akb";
}

std::vector<std::string> BackupFileNames(const std::vector<std::string>& calendarPaths) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const std::string& path : calendarPaths) {
    const std::string plain = BackupFileName(path);
    const std::string stem = plain.substr(0, plain.size() - 4);
    std::string name = plain;
    for (int n = 2; taken.count(Upper(name)) != 0; ++n) name = stem + " (" + std::to_string(n) + ").akb";
    taken.insert(Upper(name));
    names.push_back(name);
  }
  return names;
}

std::string BackupFolder(const std::string& typed) {
  if (typed.empty() || typed.back() != '\\') return typed + "\\";
  return typed;
}

bool HasFileOnDisk(const CCalendarFile& calendar) {
  return !calendar.path.empty() && platform::OsFileExists(calendar.path.c_str());
}

// The engine's error number of flushing the calendar's open file, 0 when
// it has none open.
static int EngineFlush(const CCalendarFile& calendar) {
  if (calendar.hostFile < 0) return 0;
  return isam::EngineCallNumber(kEngineFlushFiles, calendar.hostFile, nullptr, nullptr, nullptr, nullptr, 0);
}

bool FlushCalendarFile(const CCalendarFile& calendar) { return EngineFlush(calendar) == 0; }

std::string FailureText(const FileFailure& failure) {
  if (failure.nativeError != 0 || failure.engineError == 0) return platform::SystemErrorText(failure.nativeError);
  return EngineErrorText(failure.engineError);
}

std::string TemporaryName(const std::string& target) { return target + ".tmp~"; }

bool CopyFileReplacing(const std::string& source, const std::string& target, FileFailure* failure) {
  platform::OsFile* in =
      platform::OpenOsFile(source.c_str(), platform::FileShare::kReadOnly, platform::FileDisposition::kOpenExisting);
  if (in == nullptr) return Failed(failure);
  const std::string temp = TemporaryName(target);
  // A temporary file left by an earlier failure is stale.
  if (platform::OsFileExists(temp.c_str())) platform::DeleteOsFile(temp.c_str());
  platform::OsFile* out =
      platform::OpenOsFile(temp.c_str(), platform::FileShare::kExclusive, platform::FileDisposition::kCreateNew);
  if (out == nullptr) {
    Failed(failure);
    platform::CloseOsFile(in);
    return false;
  }
  const bool copied = CopyBytes(in, out) && platform::FlushOsFile(out);
  if (!copied) Failed(failure);
  platform::CloseOsFile(in);
  const bool closed = platform::CloseOsFile(out);
  if (copied && !closed) Failed(failure);
  if (!copied || !closed) {
    RemoveQuietly(temp);
    return false;
  }
  if (!platform::ReplaceOsFile(temp.c_str(), target.c_str())) {
    Failed(failure);
    RemoveQuietly(temp);
    return false;
  }
  return true;
}

bool IsBackupDue(int autoBackup, int days, int lastDate, int today) {
  if (autoBackup == 0) return false;
  const long long passed = static_cast<long long>(today) - lastDate;
  return passed < 0 || passed >= days;
}

BackupOutcome BackupCalendars(const CCalendarList& calendars, const std::string& folder) {
  BackupOutcome outcome;
  std::vector<const CCalendarFile*> sources;
  std::vector<std::string> paths;
  for (const CCalendarFile* calendar : calendars.items()) {
    if (!HasFileOnDisk(*calendar)) continue;
    sources.push_back(calendar);
    paths.push_back(calendar->path);
  }
  if (sources.empty()) {
    outcome.nothingToCopy = true;
    return outcome;
  }
  const std::vector<std::string> names = BackupFileNames(paths);
  for (size_t i = 0; i < sources.size(); ++i) {
    const std::string target = folder + names[i];
    if (const int rc = EngineFlush(*sources[i])) {
      outcome.failedTarget = target;
      outcome.failure.fileError = platform::kFileOtherError;
      outcome.failure.nativeError = platform::LastNativeFileError();
      outcome.failure.engineError = rc;
      return outcome;
    }
    if (!CopyFileReplacing(sources[i]->path, target, &outcome.failure)) {
      outcome.failedTarget = target;
      return outcome;
    }
    ++outcome.copied;
  }
  outcome.ok = true;
  return outcome;
}

std::string ProposedRestoreName(const std::string& backupPath) {
  std::string name = backupPath.substr(NameStart(backupPath));
  if (!name.empty()) name.back() = 'v';
  return name;
}

bool IsCalendarFile(const std::string& path) {
  {
    // No prompts and no shell: the check shows nothing.
    StorageServices silent;
    silent.transport = GetStorageServices().transport;
    ScopedStorageServices quiet(silent);
    CEventArray events;
    CCalendarFile probe;
    probe.openState = CCalendarFile::kClosed;
    if (probe.Open(&events, path) == 1 && probe.fileType != CCalendarFile::kMemoryOnly) return true;
  }
  OldFileVersion version = OldFileVersion::kNone;
  int native = 0;
  return DetectOldEventFile(path, &version, &native) && version != OldFileVersion::kNone;
}

StageResult StageRestore(const std::string& backupPath, const std::string& target, std::string* staged,
                         FileFailure* failure) {
  const std::string copy = TemporaryName(target) + "r";
  // The staged copy is made under its own temporary name first, so a
  // failure while copying cannot leave a half file that looks staged.
  if (!CopyFileReplacing(backupPath, copy, failure)) return StageResult::kCopyFailed;
  if (!IsCalendarFile(copy)) {
    platform::DeleteOsFile(copy.c_str());
    return StageResult::kNotCalendar;
  }
  *staged = copy;
  return StageResult::kStaged;
}

bool CommitRestore(const std::string& staged, const std::string& target, FileFailure* failure) {
  if (platform::ReplaceOsFile(staged.c_str(), target.c_str())) return true;
  Failed(failure);
  RemoveQuietly(staged);
  return false;
}

void DiscardStaged(const std::string& staged) { platform::DeleteOsFile(staged.c_str()); }

bool OpenRestoredCalendar(CAlmacoraDoc* document, const std::string& target, bool makeDefault) {
  auto* calendar = new CCalendarFile();
  if (calendar->Open(&document->events(), target) != 1) {
    // Its events (if any got loaded) go with it; nothing is listed.
    document->events().FreeEventsOf(calendar);
    delete calendar;
    return false;
  }
  const int id = document->calendars().AddCalendar(calendar);
  if (makeDefault) {
    document->calendars().defaultId = id;
    // The close made another calendar the default and the title said so.
    document->calendars().UpdateMainWindowTitle();
  }
  return true;
}

RestoreOutcome RestoreIntoDocument(CAlmacoraDoc* document, const std::string& backupPath, const std::string& target) {
  RestoreOutcome outcome;
  std::string staged;
  switch (StageRestore(backupPath, target, &staged, &outcome.failure)) {
    case StageResult::kCopyFailed: return outcome;
    case StageResult::kNotCalendar: outcome.notCalendar = true; return outcome;
    case StageResult::kStaged: break;
  }
  CCalendarFile* open = document->calendars().FindByPath(target);
  bool wasDefault = false;
  if (open != nullptr) {
    outcome.wasOpen = true;
    wasDefault = document->calendars().defaultId == open->listId;
    document->CloseEventFile(open);
  }
  outcome.restored = CommitRestore(staged, target, &outcome.failure);
  if (outcome.wasOpen) outcome.reopened = OpenRestoredCalendar(document, target, wasDefault);
  return outcome;
}

}  // namespace calbackup
