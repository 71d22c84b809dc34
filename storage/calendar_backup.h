// Backup and restore of calendar files, without windows: the names of the
// backup copies, copying a calendar file while the engine holds it open,
// and a restore that checks the copy before it replaces anything.
//
// Every copy is written to a temporary file in the target's folder and put
// in the target's place by one rename only once it is complete, so a copy
// that fails midway leaves the old target (the last good backup, or the
// live calendar) as it was. All file work goes through platform/os_file.h,
// so the test file faults reach it.
//
// Paths are split at the last "\" (and "/"); the folder given for a backup
// is used as typed. User-interface thread only.
#pragma once

#include <string>
#include <vector>

class CAlmacoraDoc;
class CCalendarFile;
class CCalendarList;

namespace calbackup {

// A failed file step: the portable code (platform::LastFileError) and the
// system's number for the message text (platform::LastNativeFileError).
struct FileFailure {
  int fileError = 0;
  int nativeError = 0;
  // The engine's error number when the engine refused the step without a
  // system error (nativeError 0), else 0.
  int engineError = 0;
};

// The cause of a failure as a message shows it: the system's text, or the
// engine's error number when the system reported none (its text for 0
// would read as success).
std::string FailureText(const FileFailure& failure);

// The name after the last folder separator, cut before the first ".akv"
// (case-sensitive) when it holds one, followed by ".akb": "C:\a\x.akv.akv"
// gives "x.akb", "notes.txt" gives "notes.txt.akb".
std::string BackupFileName(const std::string& calendarPath);

// The backup names of several calendars, one per path in order. Names that
// would repeat an earlier one (compared without regard to case, as the
// file system does) get " (2)", " (3)" ... before ".akb", so two calendars
// "family.akv" from two folders give "family.akb" and "family (2).akb".
std::vector<std::string> BackupFileNames(const std::vector<std::string>& calendarPaths);

// The folder as typed with a "\" appended when it is empty or does not end
// in one ("C:\bk" -> "C:\bk\", "" -> "\").
std::string BackupFolder(const std::string& typed);

// The calendar has a file on disk to copy: a path that exists. A calendar
// held in memory only without a file (a previewed web calendar) has none; a
// local ".ics" calendar has one.
bool HasFileOnDisk(const CCalendarFile& calendar);

// Pushes what the engine wrote of the calendar's file to the disk, so a
// shared read sees it. True when the file is not open in the engine.
bool FlushCalendarFile(const CCalendarFile& calendar);

// Copies `source` (opened read-only, shared with the engine's open) to
// `target`: written to the temporary file TemporaryName(target), flushed,
// then renamed over `target`. False with *failure on any failure; the
// temporary file is removed and `target` is untouched.
bool CopyFileReplacing(const std::string& source, const std::string& target, FileFailure* failure);

// The temporary file a copy to `target` is written to, in its folder.
std::string TemporaryName(const std::string& target);

// ---- Backup.
// Whether the scheduled backup asks now: it is on and at least `days` days
// have passed since `lastDate`, or `lastDate` lies after today (the clock
// was set back; the schedule must not fall silent).
bool IsBackupDue(int autoBackup, int days, int lastDate, int today);

struct BackupOutcome {
  bool ok = false;
  // No calendar had a file on disk: nothing was copied.
  bool nothingToCopy = false;
  int copied = 0;
  // The first failure (ok false): its target path and cause.
  std::string failedTarget;
  FileFailure failure;
};

// Copies every calendar of the list that has a file on disk, in list order,
// into `folder` (ending in a separator) under its backup name; calendars
// without one are skipped and take no name. Stops at the first failure.
BackupOutcome BackupCalendars(const CCalendarList& calendars, const std::string& folder);

// ---- Restore.
// The target name the save dialog proposes: the backup's file name with
// its last character made "v" ("family.akb" -> "family.akv").
std::string ProposedRestoreName(const std::string& backupPath);

// Whether the file is a calendar this program opens: the storage core's
// open in state 0 succeeds (no message is shown, nothing is loaded), or it
// is an event file of an older version (opening it converts it). False for
// any other file.
bool IsCalendarFile(const std::string& path);

enum class StageResult { kStaged, kCopyFailed, kNotCalendar };

// Copies the backup to TemporaryName(target) beside the target and checks
// the copy with IsCalendarFile. kStaged with *staged the copy's path; on
// kCopyFailed (*failure set) and kNotCalendar nothing is left behind and
// the target is untouched.
StageResult StageRestore(const std::string& backupPath, const std::string& target, std::string* staged,
                         FileFailure* failure);

// Renames the staged copy over the target (which must be closed). False
// with *failure; the target is then as it was and the staged copy removed.
bool CommitRestore(const std::string& staged, const std::string& target, FileFailure* failure);

// Removes a staged copy that is not wanted.
void DiscardStaged(const std::string& staged);

// One backup restored onto `target` in the document.
struct RestoreOutcome {
  // The target now holds the backup's bytes.
  bool restored = false;
  // The backup is not a calendar file (nothing was changed).
  bool notCalendar = false;
  // The failed copy or replace (restored false, notCalendar false).
  FileFailure failure;
  // The target was an open calendar of the document; it is open again
  // (reopened from the target, the default again when it was) unless the
  // reopen failed, when it is no longer listed.
  bool wasOpen = false;
  bool reopened = false;
};

// Stages and checks the copy first (StageRestore); only then closes the
// target's calendar when the document has it open (CloseEventFile), puts
// the copy in its place and opens the target again. A failure before the
// replace leaves the target untouched and open; a failed replace leaves it
// as it was and opens it again. Views are not updated (the caller sends one
// update for the whole restore).
RestoreOutcome RestoreIntoDocument(CAlmacoraDoc* document, const std::string& backupPath, const std::string& target);

// Opens a restored file that was not open (a new calendar object opened
// into the document's events and listed). False when the open failed (the
// storage has told the user); nothing is listed then.
bool OpenRestoredCalendar(CAlmacoraDoc* document, const std::string& target, bool makeDefault = false);

}  // namespace calbackup
