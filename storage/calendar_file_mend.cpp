// What a calendar's open tells the user after a crash: the records the
// engine's mend set aside, or, for a file it refused as damaged, the last
// backup or a rebuild from the records, offered in words.
#include "storage/calendar_file.h"

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "model/settings/program_settings.h"
#include "platform/os_file.h"
#include "storage/calendar_backup.h"
#include "storage/calendar_mend_notice.h"
#include "storage/engine_error_text.h"
#include "storage/services/storage_services.h"

void CCalendarFile::TellWhatTheMendDid() {
  std::unique_ptr<isam::MendReport> report = std::move(mendReport_);
  if (!report || !report->mended || (report->set_aside.empty() && report->passed_over == 0)) return;
  StorageMessage(mendnotice::MendText(name, *report), PromptIcon::kExclamation);
}

int CCalendarFile::OfferToBringBack(CEventArray* events, const std::string& p) {
  IStoragePrompts* prompts = GetStorageServices().prompts;
  if (prompts == nullptr) {
    ReportFileError(isam::kCalendarFileDamaged);
    return 0;
  }
  const std::string shown = name.empty() ? CProgramSettings::CalendarNameFromPath(p) : name;
  std::string backup = calbackup::BackupFolder(g_Settings.BackupDir) + calbackup::BackupFileName(p);
  if (!platform::OsFileExists(backup.c_str())) backup.clear();
  const DamagedChoice choice = prompts->AskDamagedCalendar(mendnotice::RefusedText(shown, p, backup), !backup.empty());
  if (choice == DamagedChoice::kLeaveClosed) return 0;
  if (choice == DamagedChoice::kRestoreBackup) {
    std::string staged;
    calbackup::FileFailure failure;
    const calbackup::StageResult staging = calbackup::StageRestore(backup, p, &staged, &failure);
    if (staging == calbackup::StageResult::kNotCalendar) {
      StorageMessage("'" + backup + "' is not a calendar file.", PromptIcon::kExclamation);
      return 0;
    }
    if (staging != calbackup::StageResult::kStaged || !calbackup::CommitRestore(staged, p, &failure)) {
      StorageMessage("The backup could not be restored: " + calbackup::FailureText(failure), PromptIcon::kExclamation);
      return 0;
    }
  }
  int kept = 0;
  const std::string damagedCopy = p + ".damaged";
  if (choice == DamagedChoice::kRebuild && !RebuildFromRecords(p, damagedCopy, &kept)) return 0;
  // Once more, and only once: what still fails is told, not offered again.
  bringingBack_ = true;
  const int opened = OpenFile(events, p);
  bringingBack_ = false;
  if (opened == 1 && choice == DamagedChoice::kRebuild)
    StorageMessage(mendnotice::RebuiltText(name, kept, damagedCopy), PromptIcon::kInformation);
  return opened;
}

int CCalendarFile::RebuildFromRecords(const std::string& p, const std::string& damagedCopy, int* kept) {
  std::vector<std::vector<uint8_t>> records;
  if (int rc = isam::ReadSoundCalendarRecords(p, &records)) {
    ReportFileError(rc);
    return 0;
  }
  // The damaged file stays beside the new one, for whatever it still holds.
  if (!platform::ReplaceOsFile(p.c_str(), damagedCopy.c_str())) {
    StorageMessage("The damaged calendar file could not be put aside as " + damagedCopy + ".",
                   PromptIcon::kExclamation);
    return 0;
  }
  if (name.empty()) name = CProgramSettings::CalendarNameFromPath(p);
  if (!CreateFile(p, fileType == kMemoryOnly ? kOrdinaryFile : fileType)) return 0;
  for (const std::vector<uint8_t>& r : records) {
    if (int rc = isam::IsamAddVarRecord(dataFile, r.data(), static_cast<int32_t>(r.size()))) {
      CloseEngineFiles(false);
      ReportFileError(rc);
      return 0;
    }
  }
  CloseEngineFiles(true);
  *kept = static_cast<int>(records.size());
  return 1;
}
