#include "isam/superfile/superfile_member.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/index/free_space.h"
#include "isam/index/key_search.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/superfile/superfile_names.h"

namespace isam {
namespace {

constexpr uint32_t kMaxMembers = 1024;

// Set while the host's own directory is created or opened: it has no key of
// itself, the host header names its position.
bool g_directory_in_progress = false;

char Separator() {
  EngineInstance* inst = CurrentInstance();
  return inst != nullptr && inst->member_separator ? inst->member_separator : '!';
}

// The directory key of a member: its member part, blank padded to the
// host's name limit. False when the member part is longer than the limit.
bool DirectoryKey(const char* name, uint32_t limit, std::vector<uint8_t>* key) {
  const char* at = std::strchr(name, Separator());
  if (at == nullptr) return false;
  const std::size_t n = std::strlen(at + 1);
  if (n == 0 || n > limit) return false;
  // The directory's searches compare as many bytes as its own header
  // says its keys hold, which a damaged header may put above the host's
  // limit: the buffer holds the longest key any header can claim.
  key->assign(std::max<std::size_t>(limit, 256), ' ');
  std::memcpy(key->data(), at + 1, n);
  return true;
}

// The highest pair of free numbers (the directory needs the second).
int HighestFreePair() {
  EngineInstance* inst = CurrentInstance();
  for (int n = inst->file_count - 2; n >= 0; --n) {
    if (FileNumberState(n) == 0 && FileNumberState(n + 1) == 0) return n;
  }
  return -1;
}

// The open host of a member name; opens it once when it is not open.
// Returns its number or -code.
int HostForMember(const char* name, uint16_t mode) {
  const int length = SplitMemberName(name);
  if (length <= 0) return -413;
  const std::string host_name(name, static_cast<std::size_t>(length));
  int number = FindOpenFileByName(host_name.c_str());
  if (number < 0) {
    const int n = HighestFreePair();
    if (n < 0) return -413;
    uint16_t host_mode = static_cast<uint16_t>((mode | kModeShared) & ~(kModeNoFirstResource | kModeSuperHost));
    if (mode & kModeReadOnly) host_mode = static_cast<uint16_t>(host_mode & ~kModeShared);
    if (OpenFileEntry(n, host_name.c_str(), host_mode) != 0) return -413;
    number = n;
  }
  FileControlBlock* host = CheckFileNumber(number);
  if (host == nullptr) return -413;
  if (host->header.file_class != kClassSuperHost) return -411;
  return number;
}

FileControlBlock* DirectoryOf(int host_number) {
  EngineInstance* inst = CurrentInstance();
  if (host_number + 1 >= inst->files_allocated) return nullptr;
  FileControlBlock* d = inst->files[host_number + 1];
  if (d == nullptr || d->state != kStateOpen || d->header.file_class != kClassMemberDirectory) return nullptr;
  return d;
}

// Gives a member entry back to the host's free space.
void ReleaseEntry(FileControlBlock* host, uint32_t position) {
  if (position != 0) FreeVarSpace(host, position, false);
}

// Raises a member's ends to cover host space it was just given, so its
// walks and checks reach it (the header goes out for other openers).
int CoverHostEnd(FileControlBlock* holder, FileControlBlock* host) {
  if (int rc = LockFileHeader(holder)) return rc;
  holder->header.logical_end = std::max(holder->header.logical_end, host->header.logical_end);
  holder->header.physical_end = std::max(holder->header.physical_end, holder->header.logical_end);
  const int rc = WriteFileHeader(holder);
  UnlockFileHeader(holder);
  return rc;
}

}  // namespace

int OpenHostForMember(int number, const char* name, uint16_t mode) {
  (void)number;  // the member's own number plays no part in where its host goes
  const int host = HostForMember(name, mode);
  if (host < 0) return SetEngineError(-host), -1;
  SetEngineError(0);
  return host;
}

int CreateMemberInHost(FileControlBlock* fcb, const char* name, uint16_t mode) {
  if (mode & kModeSuperHost) return SetEngineError(414);
  const int host_number = HostForMember(name, mode);
  if (host_number < 0) return SetEngineError(-host_number);
  FileControlBlock* host = CheckFileNumber(host_number);
  const bool directory = g_directory_in_progress;
  if (!directory && DirectoryOf(host_number) == nullptr) return SetEngineError(413);
  const uint32_t limit = host->header.name_limit;
  std::vector<uint8_t> key;
  if (!DirectoryKey(name, limit, &key)) return SetEngineError(418);
  if (!directory) {
    uint8_t found[256];
    if (FindKeyEqual(host_number + 1, key.data(), found) != 0) return SetEngineError(46);
  }
  const uint32_t indexes = fcb->header.file_type == kFileTypeIndex ? fcb->header.member_count : 0;
  const uint32_t size = limit + kFileHeaderSize * (indexes + 1);

  // The entry and the member number are taken under the host's header lock.
  if (int rc = LockFileHeader(host)) return rc;
  const uint32_t entry = AllocVarSpace(host, size, kAllocBestFit, false);
  if (entry == 0) {
    const int rc = CurrentInstance()->eng_err;
    UnlockFileHeader(host);
    return SetEngineError(rc ? rc : 39);
  }
  std::vector<uint8_t> image(size, 0);
  std::memcpy(image.data(), key.data(), limit);
  int rc = WriteVarRecordAt(host, entry, image.data(), size, true);
  const uint32_t header_position = entry + kLongVarHeader + limit;
  uint32_t number = 0;
  if (rc == 0) {
    number = host->header.members_created + 1;
    if (number >= kMaxMembers) rc = 22;
  }
  if (rc == 0) {
    host->header.members_created = number;
    if (directory) host->header.directory_position = header_position;
    rc = WriteFileHeader(host);
  }
  if (rc != 0) {
    ReleaseEntry(host, entry);
    UnlockFileHeader(host);
    return SetEngineError(rc);
  }
  UnlockFileHeader(host);

  FileHeader& h = fcb->header;
  fcb->header_position = header_position;
  h.header_position = header_position;
  h.file_class = directory ? kClassMemberDirectory : kClassSuperMember;
  h.superfile_member = static_cast<uint16_t>(number);
  h.name_limit = static_cast<uint16_t>(limit);
  h.logical_end = host->header.logical_end;
  h.physical_end = h.logical_end;
  fcb->os = EngineOsFile{};
  fcb->os.owner = fcb;
  fcb->os.host = &host->os;
  fcb->os.member_number = static_cast<int16_t>(number);
  if (OsCreateFile(&fcb->os, name, static_cast<uint16_t>(mode | kModeKeptOpen)) != 0) {
    fcb->os = EngineOsFile{};
    fcb->os.owner = fcb;
    ReleaseEntry(host, entry);
    return SetEngineError(12);
  }
  h.open_mode = static_cast<uint16_t>(h.open_mode | kModeKeptOpen);
  rc = WriteFileHeader(fcb);
  if (rc == 0 && !directory) rc = addkey(host_number + 1, key.data(), header_position, kAddMemberDirectory);
  if (rc != 0) {
    OsCloseFile(&fcb->os);
    fcb->os = EngineOsFile{};
    fcb->os.owner = fcb;
    ReleaseEntry(host, entry);
    return SetEngineError(rc);
  }
  return 0;
}

int CreateHostDirectory(int host_number, uint16_t mode) {
  FileControlBlock* host = CheckFileNumber(host_number);
  if (host == nullptr) return CurrentInstance()->eng_err;
  const std::string name = std::string(host->name) + Separator() + kMemberDirectoryName;
  if (name.size() > 255) return SetEngineError(17);
  const int limit = host->header.name_limit;
  const int key_type = limit < 256 ? 0x1C : 0x10;
  const uint16_t dir_mode = static_cast<uint16_t>(
      (mode & ~(kModeSuperHost | kModeVariable)) | kModeKeptOpen | kModeNoFirstResource);
  g_directory_in_progress = true;
  const int rc = CreateIndexFile(host_number + 1, name.c_str(), limit, key_type, 0, 0, host->header.extension_size,
                                 dir_mode);
  g_directory_in_progress = false;
  return rc;
}

int OpenMemberInHost(FileControlBlock* fcb, uint16_t* mode) {
  const int host_number = HostForMember(fcb->name, *mode);
  if (host_number < 0) return -host_number;
  FileControlBlock* host = CheckFileNumber(host_number);
  uint32_t position = 0;
  if (g_directory_in_progress) {
    if (IsShared(host) && ReadFileHeader(host) != 0) return 12;
    position = host->header.directory_position;
  } else {
    if (DirectoryOf(host_number) == nullptr) return 413;
    std::vector<uint8_t> key;
    if (!DirectoryKey(fcb->name, host->header.name_limit, &key)) return 418;
    uint8_t found[256];
    position = FindKeyEqual(host_number + 1, key.data(), found);
  }
  if (position == 0) return 12;
  uint8_t raw[kFileHeaderSize];
  int32_t count = 0;
  if (FilePositionedIo(0, &host->os, position, raw, static_cast<int32_t>(kFileHeaderSize), &count) != 0 ||
      count != static_cast<int32_t>(kFileHeaderSize))
    return 12;
  const uint16_t number = GetLe16(raw + 76);
  if (number == 0 || number >= kMaxMembers) return kErrFileDamaged;
  *mode = static_cast<uint16_t>(*mode | kModeKeptOpen);
  fcb->header_position = position;
  fcb->os = EngineOsFile{};
  fcb->os.owner = fcb;
  fcb->os.host = &host->os;
  fcb->os.member_number = static_cast<int16_t>(number);
  if (OsOpenFile(&fcb->os, fcb->name, *mode) != 0) {
    fcb->os = EngineOsFile{};
    fcb->os.owner = fcb;
    return 12;
  }
  return 0;
}

int OpenHostDirectory(int host_number) {
  FileControlBlock* host = CheckFileNumber(host_number);
  if (host == nullptr) return CurrentInstance()->eng_err;
  if (FileNumberState(host_number + 1) != 0) return SetEngineError(46);
  const std::string name = std::string(host->name) + Separator() + kMemberDirectoryName;
  const uint16_t dir_mode = static_cast<uint16_t>(host->header.open_mode & ~(kModeSuperHost | kModeVariable));
  g_directory_in_progress = true;
  const int rc = OpenFileEntry(host_number + 1, name.c_str(), dir_mode);
  g_directory_in_progress = false;
  return rc;
}

void CloseHostMembers(FileControlBlock* host) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return;
  for (int pass = 0; pass < 2; ++pass) {
    for (int n = 0; n < inst->files_allocated; ++n) {
      FileControlBlock* f = inst->files[n];
      if (f == nullptr || f == host || f->os.host != &host->os || f->header.member_number != 0) continue;
      if (f->state != kStateOpen && f->state != kStateVirtual) continue;
      if ((f->header.file_class == kClassMemberDirectory) != (pass == 1)) continue;
      CloseFileEntry(n);
    }
  }
}

uint32_t ExtendMemberSpace(FileControlBlock* holder, uint32_t bytes) {
  FileControlBlock* host = SuperfileHostOf(holder);
  if (host == nullptr || bytes == 0) return SetEngineError(39), 0;
  if (LockFileHeader(host) != 0) return 0;
  uint32_t result = 0;
  if (holder->header.file_type != kFileTypeIndex) {
    result = ExtendHostFor(host, bytes, holder->header.superfile_member);
  } else {
    // Nodes stay on the node grid: the stretch header sits just in front,
    // a gap before it (at least a header long) becomes host free space.
    const uint64_t node = holder->header.node_size ? holder->header.node_size : 128;
    const uint64_t first = static_cast<uint64_t>(host->header.logical_end) + 1;
    uint64_t at = (first + kLongVarHeader + node - 1) / node * node;
    uint64_t gap = at - kLongVarHeader - first;
    if (gap > 0 && gap < kLongVarHeader) {
      at += node;
      gap += node;
    }
    const uint64_t total = gap + kLongVarHeader + bytes;
    const uint32_t start =
        total > 0x7FFFFFFFu ? 0 : ExtendHostFor(host, static_cast<uint32_t>(total), holder->header.superfile_member);
    if (start == 0 && total > 0x7FFFFFFFu) SetEngineError(39);
    if (start != 0 && start != first) {
      SetEngineError(kErrFileDamaged);  // the end moved under our lock
    } else if (start != 0) {
      VarRecordHeader stretch;
      stretch.mark = kMarkActive;
      stretch.total = static_cast<uint32_t>(kLongVarHeader + bytes);
      stretch.used = bytes;
      stretch.member = holder->header.superfile_member;
      int rc = WriteVarRecordHeader(host, static_cast<uint32_t>(first + gap), stretch);
      if (rc == 0 && gap > 0) rc = FreeRawStretch(host, start, static_cast<uint32_t>(gap));
      if (rc == 0) result = static_cast<uint32_t>(at);
      else SetEngineError(rc);
    }
  }
  UnlockFileHeader(host);
  if (result == 0) return 0;
  if (CoverHostEnd(holder, host) != 0) return 0;
  SetEngineError(0);
  return result;
}

}  // namespace isam
