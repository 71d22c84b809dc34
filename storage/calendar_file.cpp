// CCalendarFile: construction, state, the resources and opening and
// closing the event file.
#include "storage/calendar_file.h"

#include "storage/engine_error_text.h"

#include <cctype>
#include <algorithm>
#include <cstdio>

#include "isam/calendar_file_set.h"
#include "isam/engine_api.h"
#include "model/settings/program_settings.h"
#include "platform/os_file.h"
#include "platform/paths.h"
#include "platform/write_combining.h"
#include "storage/calendar_address.h"
#include "storage/calendar_backup.h"
#include "storage/calendar_resources.h"
#include "storage/convert/old_event_files.h"
#include "storage/event_array.h"
#include "storage/serial_section.h"
#include "storage/services/storage_services.h"
#include "storage/storage_texts.h"

namespace {

// Double quotes go; a bare file name lives in the program folder.
std::string NormalisePath(const std::string& raw) {
  std::string p;
  for (char c : raw)
    if (c != '"') p += c;
  if (!p.empty() && !platform::HasFolderPart(p)) p = platform::ProgramFolder() + p;
  return p;
}

bool HasIcsExtension(const std::string& p) {
  if (p.size() < 4) return false;
  std::string ext = p.substr(p.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".ics";
}

}  // namespace

CCalendarFile::CCalendarFile() = default;

CCalendarFile::~CCalendarFile() { CloseEngineFiles(false); }

bool CCalendarFile::IsWritable() const {
  return openState == kOpen && fileType == kOrdinaryFile && !(subscribed && !published);
}

bool CCalendarFile::CanReceiveNewEvents() const { return openState == kOpen && fileType != kMemoryOnly; }

void CCalendarFile::ReportFileError(int code) {
  if (code != 0) StorageMessage(EngineErrorText(code));
}

void CCalendarFile::SetAddress(const std::string& text) {
  std::string user, secret;
  address = AddressWithoutLogin(text, &user, &secret);
  if (!user.empty() || !secret.empty()) {
    offeredUser = user;
    offeredPassword = secret;
  }
}

bool CCalendarFile::PromptLogin() {
  IStoragePrompts* prompts = GetStorageServices().prompts;
  if (prompts == nullptr) return false;
  CalendarLogin login;
  login.user = userName;
  login.password = password;
  if (userName.empty() && !offeredUser.empty()) {
    login.user = offeredUser;
    login.password = offeredPassword;
  }
  login.remember = rememberPassword != 0;
  login.offerRemember = fileType != kMemoryOnly;
  if (!prompts->PromptLogin(&login)) return false;
  userName = login.user;
  password = login.password;
  rememberPassword = login.remember ? 1 : 0;
  return true;
}

// ---- Engine files.

namespace {

bool IsOldEventFile(const std::string& path) {
  OldFileVersion version = OldFileVersion::kNone;
  int nativeError = 0;
  return DetectOldEventFile(path, &version, &nativeError) && version != OldFileVersion::kNone;
}

}  // namespace

int CCalendarFile::OpenEngineFiles(const std::string& fullPath, bool* notEngineFile, bool alone) {
  *notEngineFile = false;
  const int n = isam::EngineFindFreeFileNumbers(2);
  if (n < 0) return 46;
  int rc = isam::EngineOpenFile(static_cast<int16_t>(n), fullPath.c_str(),
                                alone ? isam::kCalendarHostAloneMode : isam::kCalendarHostMode);
  // 13 and 43: the header is not an engine file's; 36: the file is shorter
  // than one. Older event files give these (they are converted instead).
  if (rc == 13 || rc == 36 || rc == 43) *notEngineFile = true;
  // The engine reads the bytes after an old file's text header as its own
  // header, and another check (a node size, a mirror bit) may refuse them
  // first, by whatever the first record holds.
  if (rc != 0 && !*notEngineFile) *notEngineFile = IsOldEventFile(fullPath);
  if (rc != 0) return rc;
  hostFile = static_cast<int16_t>(n);
  fileSet_ = std::make_unique<isam::CalendarFileSet>(isam::CalendarFileSet::MemberName(fullPath), alone);
  rc = isam::IsamOpenFileSet(fileSet_->block());
  mendReport_ = std::make_unique<isam::MendReport>(isam::TakeMendReport());
  if (rc != 0) {
    if (rc == 413) *notEngineFile = true;
    fileSet_.reset();
    isam::EngineCloseFile(hostFile);
    hostFile = -1;
    return rc;
  }
  dataFile = static_cast<int16_t>(fileSet_->data_file());
  heldAlone_ = alone;
  return 0;
}

void CCalendarFile::CloseEngineFiles(bool report) {
  int rc = 0;
  if (fileSet_ && dataFile >= 0) rc = isam::IsamCloseFileSet(fileSet_->block());
  fileSet_.reset();
  dataFile = -1;
  if (hostFile >= 0) {
    const int host = isam::EngineCloseFile(hostFile);
    if (rc == 0) rc = host;
  }
  hostFile = -1;
  heldAlone_ = false;
  serialSection_.reset();
  combining_.reset();
  if (report) ReportFileError(rc);
}

int CCalendarFile::HoldAlone(bool gather, bool ordered) {
  if (heldAlone_ || dataFile < 0 || fileType != kOrdinaryFile) return heldAlone_ ? 1 : 0;
  // The serial section's own handle is a shared open: it goes first, or
  // the exclusive open would fail on it.
  CloseEngineFiles(false);
  bool notEngine = false;
  // Nobody else can see the file while it is held: its writes gather in
  // memory and go out in a few big ordered pieces at the end, rather than
  // an OS call per header and node of every add.
  if (gather) combining_ = std::make_unique<platform::WriteCombiningScope>(path, ordered);
  if (OpenEngineFiles(path, &notEngine, true) == 0) return 1;
  combining_.reset();
  // Someone else opened it meanwhile: go on shared.
  OpenShared();
  return 0;
}

int CCalendarFile::OpenShared() {
  bool notEngine = false;
  const int rc = OpenEngineFiles(path, &notEngine);
  if (rc != 0) {
    CloseEngineFiles(false);
    ReportFileError(rc);
    return 0;
  }
  serialSection_ = std::make_unique<SerialSection>(path);
  return 1;
}

int CCalendarFile::CloseFilledFile() {
  int rc = 0;
  if (fileSet_ && dataFile >= 0) rc = isam::IsamCloseFileSet(fileSet_->block());
  fileSet_.reset();
  dataFile = -1;
  // The gathered writes go out and reach the disk here, where a failure
  // can still be told (the close only notes one).
  if (combining_ && !combining_->Finish() && rc == 0) rc = 49;
  combining_.reset();
  if (rc == 0 && !calbackup::FlushCalendarFile(*this)) rc = 49;
  const int host = hostFile >= 0 ? isam::EngineCloseFile(hostFile) : 0;
  hostFile = -1;
  heldAlone_ = false;
  serialSection_.reset();
  return rc != 0 ? rc : host;
}

int CCalendarFile::CommitFilled(const std::string& finalPath) {
  const std::string staged = path;
  const std::string target = NormalisePath(finalPath);
  const bool wasOpen = hostFile >= 0;
  int rc = CloseFilledFile();
  if (rc == 0 && !wasOpen) rc = 12;
  if (rc == 0 && !platform::ReplaceOsFile(staged.c_str(), target.c_str())) rc = 16;
  if (rc != 0) {
    platform::DeleteOsFile(staged.c_str());
    ReportFileError(rc);
    return 0;
  }
  path = target;
  return OpenShared();
}

int CCalendarFile::ShareAgain() {
  if (!heldAlone_) return 1;
  const int rc = CloseFilledFile();
  if (rc != 0) {
    CloseEngineFiles(false);
    ReportFileError(rc);
    return 0;
  }
  return OpenShared();
}

int CCalendarFile::CreateFile(const std::string& rawPath, int type) {
  const std::string p = NormalisePath(rawPath);
  CloseEngineFiles(false);
  std::remove(p.c_str());
  const int n = isam::EngineFindFreeFileNumbers(2);
  if (n < 0) {
    ReportFileError(46);
    return 0;
  }
  int rc = isam::EngineCreateDataFile(static_cast<int16_t>(n), p.c_str(), 0, 4096, isam::kCalendarHostMode);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  hostFile = static_cast<int16_t>(n);
  fileSet_ = std::make_unique<isam::CalendarFileSet>(isam::CalendarFileSet::MemberName(p));
  rc = isam::IsamCreateFileSet(fileSet_->block());
  if (rc == 0) rc = isam::IsamCloseFileSet(fileSet_->block());
  fileSet_.reset();
  const int host = isam::EngineCloseFile(hostFile);
  hostFile = -1;
  if (rc == 0) rc = host;
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  bool notEngine = false;
  rc = OpenEngineFiles(p, &notEngine);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  path = p;
  serialSection_ = std::make_unique<SerialSection>(p);
  if (!WriteVersion(4.0f) || !WriteFileType(type) || !WriteCalInfo()) {
    CloseEngineFiles(false);
    return 0;
  }
  return 1;
}

int CCalendarFile::Open(CEventArray* events, const std::string& p) { return OpenFile(events, p); }

int CCalendarFile::OpenFile(CEventArray* events, const std::string& rawPath) {
  const std::string p = NormalisePath(rawPath);
  if (HasIcsExtension(p)) {
    // An import reads calendar files only: this calendar ends with the
    // import, and the events it read would belong to nothing.
    if (importTarget != nullptr) {
      StorageMessage(storage_text::kNotValidEventsFile, PromptIcon::kExclamation);
      return 0;
    }
    path = p;
    if (openState == kClosed) {
      if (name.empty()) name = CProgramSettings::CalendarNameFromPath(p);
      return 1;
    }
    fileType = kMemoryOnly;
    return SubscribeLocalFile(events);
  }
  // Opening a calendar again (a closed one being opened) starts afresh.
  CloseEngineFiles(false);
  bool notEngine = false;
  const int rc = OpenEngineFiles(p, &notEngine);
  if (notEngine) return OpenOldEventFile(events, p);
  if ((rc == isam::kCalendarFileDamaged || rc == isam::kCalendarResourcesDamaged) && !bringingBack_)
    return OfferToBringBack(events, p);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  path = p;
  serialSection_ = std::make_unique<SerialSection>(p);
  uint8_t version[kVersionSize];
  const int32_t vlen = isam::EngineGetResource(dataFile, "VERSION", version, sizeof version, 16);
  if (vlen > 0) {
    float v = 0;
    if (!DecodeVersion(version, static_cast<size_t>(vlen), &v) || !(v >= 4.0f && v <= 5.0f)) {
      StorageMessage(storage_text::kNotVersion5, PromptIcon::kExclamation);
      CloseEngineFiles(false);
      return 0;
    }
    this->version = v;
  }
  ReadResources();
  if (name.empty()) {
    name = CProgramSettings::CalendarNameFromPath(p);
    nameFromPath = 1;
  }
  if (openState == kOpen || openState == kPreview) {
    TellWhatTheMendDid();
    LoadAllEvents(events);
    if (importTarget == nullptr) {
      AskAboutUnprovenActions(events);
    } else {
      importTarget->AskAboutUnprovenActions(events);
    }
  } else {
    CloseEngineFiles(true);
  }
  return 1;
}

void CCalendarFile::ReadResources() {
  uint8_t type[kFileTypeSize];
  const int32_t tlen = isam::EngineGetResource(dataFile, "FILETYPE", type, sizeof type, 16);
  int32_t t = 0;
  // A file on disk is never the in-memory kind: taken from a file, that
  // type would turn every later save into a silent no-op.
  if (tlen > 0 && DecodeFileType(type, static_cast<size_t>(tlen), &t) && t != kMemoryOnly) fileType = t;
  std::vector<uint8_t> info(kCalInfoMaxSize, 0);
  const int32_t ilen = isam::EngineGetResource(dataFile, "CALINFO", info.data(), static_cast<int32_t>(info.size()), 16);
  CalInfo ci;
  if (ilen > 0 && DecodeCalInfo(info.data(), std::min<size_t>(static_cast<size_t>(ilen), info.size()), &ci)) {
    subscribed = ci.subscribed;
    published = ci.published;
    refreshAtStartup = ci.refreshAtStartup;
    publishAfterSave = ci.publishAfterSave;
    publishAlarms = ci.publishAlarms;
    addressOrder = ci.addressOrder;
    nameFromPath = ci.nameFromPath;
    name = ci.strings[0];
    SetAddress(ci.strings[1]);
    userName = ci.strings[2];
    password = ci.strings[3];
    alternateAddress = ci.strings[4];
    relCalId = ci.strings[5];
    timeZone = ci.strings[6];
    publishProof = ci.publishProof;
  }
}

int CCalendarFile::Close(CEventArray* events) {
  if (events) events->FreeEventsOf(this);
  if ((openState == kOpen || openState == kPreview) && fileType == kOrdinaryFile) {
    CloseEngineFiles(true);
  } else {
    CloseEngineFiles(false);
  }
  return 1;
}

// ---- Resources.

namespace {

// Replaces the resource when the file has one of that name, else adds it.
int StoreResource(int16_t file, const char* name, const std::vector<uint8_t>& record, size_t probeSize) {
  std::vector<uint8_t> probe(probeSize, 0);
  const int32_t found = isam::EngineGetResource(file, name, probe.data(), static_cast<int32_t>(probe.size()), 16);
  const int32_t len = static_cast<int32_t>(record.size());
  return found > 0 ? isam::EngineUpdateResource(file, record.data(), len)
                   : isam::EngineAddResource(file, record.data(), len);
}

}  // namespace

int CCalendarFile::WriteVersion(float value) {
  if (dataFile < 0) return 0;
  const int rc = StoreResource(dataFile, "VERSION", EncodeVersion(value), kVersionSize);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  version = value;
  return 1;
}

int CCalendarFile::WriteFileType(int value) {
  if (dataFile < 0) return 0;
  const int rc = StoreResource(dataFile, "FILETYPE", EncodeFileType(value), kFileTypeSize);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  fileType = value;
  return 1;
}

int CCalendarFile::WriteCalInfo() {
  if (fileType == kMemoryOnly) return 1;
  CalInfo ci;
  ci.subscribed = subscribed;
  ci.published = published;
  ci.refreshAtStartup = refreshAtStartup;
  ci.publishAfterSave = publishAfterSave;
  ci.publishAlarms = publishAlarms;
  ci.addressOrder = addressOrder;
  ci.nameFromPath = nameFromPath;
  const std::string strings[7] = {name, address, userName, rememberPassword ? password : std::string(),
                                  alternateAddress, relCalId, timeZone};
  for (int i = 0; i < 7; ++i) ci.strings[i] = strings[i];
  ci.publishProof = publishProof;
  std::vector<uint8_t> record;
  if (!EncodeCalInfo(ci, &record)) {
    StorageMessage(storage_text::kCalInfoTooLong, PromptIcon::kExclamation);
    return 0;
  }
  // A closed calendar's file set is opened for the moment.
  const bool wasClosed = dataFile < 0;
  if (wasClosed) {
    bool notEngine = false;
    const int rc = OpenEngineFiles(path, &notEngine);
    if (rc != 0) {
      ReportFileError(rc);
      return 0;
    }
  }
  const int rc = StoreResource(dataFile, "CALINFO", record, kCalInfoMaxSize);
  if (wasClosed) CloseEngineFiles(false);
  if (rc != 0) {
    ReportFileError(rc);
    return 0;
  }
  return 1;
}
