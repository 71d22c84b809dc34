// The three readers of older event files and the version test.
#include "storage/convert/old_event_files.h"

#include <cstring>
#include <new>
#include <vector>

#include "model/events/cal_event.h"
#include "platform/error_text.h"
#include "platform/os_file.h"
#include "storage/convert/convert_prompts.h"
#include "storage/convert/convert_texts.h"
#include "storage/convert/import_target.h"
#include "storage/convert/old_event_records.h"

namespace {

// An old file opened read-only, closed when it goes out of scope.
class OldFile {
 public:
  explicit OldFile(const std::string& path)
      : file_(platform::OpenOsFile(path.c_str(), platform::FileShare::kReadOnly,
                                   platform::FileDisposition::kOpenExisting)),
        nativeError_(file_ ? 0 : platform::LastNativeFileError()) {}
  ~OldFile() { platform::CloseOsFile(file_); }
  OldFile(const OldFile&) = delete;
  OldFile& operator=(const OldFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  int NativeError() const { return nativeError_; }
  // Bytes read (fewer at the end of the file or on a read error).
  size_t Read(uint8_t* buffer, size_t length) {
    uint32_t done = 0;
    if (!platform::ReadOsFile(file_, buffer, static_cast<uint32_t>(length), &done)) return 0;
    return done;
  }
  // Rewinds and compares the first 24 bytes with the header text.
  bool HasHeader(const char* header) {
    uint8_t bytes[kOldHeaderSize];
    if (!platform::SeekOsFile(file_, 0) || Read(bytes, sizeof bytes) != sizeof bytes) return false;
    return std::memcmp(bytes, header, kOldHeaderSize) == 0;
  }

 private:
  platform::OsFile* file_;
  int nativeError_;
};

bool OpenOrReport(OldFile& file, IConvertPrompts* prompts) {
  if (file.IsOpen()) return true;
  ConvertMessage(prompts, platform::SystemErrorText(file.NativeError()), ConvertIcon::kInformation);
  return false;
}

void Store(std::unique_ptr<CCalEvent> event, IImportTarget* target, OldReadCounts* counts) {
  if (!event) {
    ++counts->skipped;
    return;
  }
  event->uid.clear();
  if (target->AddImportedEvent(std::move(event))) ++counts->added;
  else ++counts->skipped;
}

// Fixed-size records from the current position to the first short read.
template <typename Decode>
void ReadFixedRecords(OldFile& file, size_t size, Decode decode, IImportTarget* target, OldReadCounts* counts) {
  const CDateTime today = CDateTime::Today();
  std::vector<uint8_t> record(size);
  while (file.Read(record.data(), size) == size) {
    ++counts->records;
    Store(ConvertVersion2Record(decode(record.data()), today), target, counts);
  }
}

}  // namespace

bool ReadEvents12(const std::string& path, IImportTarget* target, IConvertPrompts* prompts, OldReadCounts* counts) {
  *counts = OldReadCounts();
  OldFile file(path);
  if (!OpenOrReport(file, prompts)) return false;
  ReadFixedRecords(file, kRecord12Size, DecodeRecord12, target, counts);
  return true;
}

bool ReadEvents20(const std::string& path, IImportTarget* target, IConvertPrompts* prompts, OldReadCounts* counts) {
  *counts = OldReadCounts();
  OldFile file(path);
  if (!OpenOrReport(file, prompts)) return false;
  if (!file.HasHeader(convert_text::kHeader20)) {
    ConvertMessage(prompts, convert_text::kNotValid20, ConvertIcon::kExclamation);
    return false;
  }
  ReadFixedRecords(file, kRecord20Size, DecodeRecord20, target, counts);
  return true;
}

bool ReadEvents35(const std::string& path, IImportTarget* target, IConvertPrompts* prompts, OldReadCounts* counts) {
  *counts = OldReadCounts();
  OldFile file(path);
  if (!OpenOrReport(file, prompts)) return false;
  if (!file.HasHeader(convert_text::kHeader35)) {
    ConvertMessage(prompts, convert_text::kNotValid35, ConvertIcon::kExclamation);
    return false;
  }
  const CDateTime today = CDateTime::Today();
  uint8_t prefix[4];
  if (file.Read(prefix, sizeof prefix) != sizeof prefix) return true;
  std::vector<uint8_t> buffer;
  for (;;) {
    const bool deleted = prefix[1] != 0;
    const size_t length = static_cast<size_t>(prefix[2] | (prefix[3] << 8));
    // Each read takes this body and the next record's prefix.
    const size_t wanted = length + 4;
    try {
      if (buffer.size() < wanted) buffer.resize(wanted + 100);
    } catch (const std::bad_alloc&) {
      ConvertMessage(prompts, convert_text::kOutOfMemory, ConvertIcon::kExclamation);
      return true;
    }
    const size_t got = file.Read(buffer.data(), wanted);
    const bool last = got < wanted;
    const size_t bodySize = got < length ? got : length;
    ++counts->records;
    if (deleted || bodySize == 0) {
      ++counts->skipped;
    } else {
      Store(DecodeRecord35(buffer.data(), bodySize, got < length, today), target, counts);
    }
    if (last) return true;
    std::memcpy(prefix, buffer.data() + length, sizeof prefix);
  }
}

bool ReadOldEvents(OldFileVersion version, const std::string& path, IImportTarget* target, IConvertPrompts* prompts,
                   OldReadCounts* counts) {
  switch (version) {
    case OldFileVersion::k12: return ReadEvents12(path, target, prompts, counts);
    case OldFileVersion::k20: return ReadEvents20(path, target, prompts, counts);
    case OldFileVersion::k35: return ReadEvents35(path, target, prompts, counts);
    default: *counts = OldReadCounts(); return false;
  }
}

bool DetectOldEventFile(const std::string& path, OldFileVersion* version, int* nativeError) {
  *version = OldFileVersion::kNone;
  OldFile file(path);
  *nativeError = file.NativeError();
  if (!file.IsOpen()) return false;
  if (file.HasHeader(convert_text::kHeader35)) {
    *version = OldFileVersion::k35;
  } else if (file.HasHeader(convert_text::kHeader20)) {
    *version = OldFileVersion::k20;
  } else {
    const size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name == "events.dat") *version = OldFileVersion::k12;
  }
  return true;
}

const char* OldFileVersionName(OldFileVersion version) {
  switch (version) {
    case OldFileVersion::k12: return "1.2";
    case OldFileVersion::k20: return "2.x / 3.0";
    case OldFileVersion::k35: return "3.x";
    default: return "";
  }
}

const char* OldFileProposedName(OldFileVersion version) {
  switch (version) {
    case OldFileVersion::k12: return "events12.akv";
    case OldFileVersion::k20: return "events20.akv";
    case OldFileVersion::k35: return "events35.akv";
    default: return "";
  }
}
