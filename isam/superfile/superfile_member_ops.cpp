#include "isam/superfile/superfile_member_ops.h"

#include <cstring>
#include <string>
#include <vector>

#include "isam/index/btree_update.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_state_hooks.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/index/key_search.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/superfile/superfile_member.h"
#include "isam/superfile/superfile_names.h"

namespace isam {
namespace {

// The member part of name blank padded to limit; empty when it does not fit.
std::vector<uint8_t> KeyOf(const char* name, uint32_t limit) {
  const int host_length = SplitMemberName(name);
  if (host_length <= 0) return {};
  const char* member = name + host_length + 1;
  const std::size_t n = std::strlen(member);
  if (n == 0 || n > limit) return {};
  std::vector<uint8_t> key(limit, ' ');
  std::memcpy(key.data(), member, n);
  return key;
}

struct FreedRun {
  uint32_t position = 0;
  uint32_t total = 0;
};

// The runs of neighbouring host stretches that name `member` (or are its
// entry), each marked free in place (0xFDFD, member 0) as it is found.
int MarkMemberRunsFree(FileControlBlock* host, uint32_t member, uint32_t entry, std::vector<FreedRun>* runs) {
  uint64_t position = FirstVarPosition(host);
  FreedRun run;
  auto close_run = [&]() {
    if (run.total == 0) return 0;
    VarRecordHeader free_stretch;
    free_stretch.mark = kMarkFree;
    free_stretch.total = run.total;
    runs->push_back(run);
    run = FreedRun{};
    return WriteVarRecordHeader(host, runs->back().position, free_stretch);
  };
  const uint64_t bound = host->header.logical_end / kLongVarHeader + 2;
  for (uint64_t steps = 0; position <= host->header.logical_end; ++steps) {
    VarRecordHeader h;
    int rc = 0;
    if (steps > bound) rc = kErrFileDamaged;
    else if ((rc = ReadVarRecordHeader(host, static_cast<uint32_t>(position), &h)) == 0 && CheckRecordMark(h) != 0)
      rc = kErrFileDamaged;
    if (rc != 0) return rc;
    const bool owned = (h.member == member && h.mark != kMarkFree) || position == entry;
    if (!owned || static_cast<uint64_t>(run.total) + h.total > 0x7FFFFFFFu) {
      if (int crc = close_run()) return crc;
    }
    if (owned) {
      if (run.total == 0) run.position = static_cast<uint32_t>(position);
      run.total += h.total;
    }
    position += h.total;
  }
  return close_run();
}

// Gives every stretch of the host that names `member`, and its entry,
// back to the host's free space: each run of neighbouring ones becomes one
// free stretch (0xFDFD, member 0) with its key, so later member entries
// reuse the space. Nodes the host's free-space index needs for the new
// keys are cut from the largest run, so the host file keeps its size.
// Walks of the host and of the other members pass over them.
int FreeMemberStretches(FileControlBlock* host, uint32_t member, uint32_t entry) {
  if (int rc = LockFileHeader(host)) return rc;
  std::vector<FreedRun> runs;
  int rc = MarkMemberRunsFree(host, member, entry, &runs);
  std::size_t largest = 0;
  for (std::size_t i = 1; i < runs.size(); ++i)
    if (runs[i].total > runs[largest].total) largest = i;
  SpaceNodeSource source;
  if (!runs.empty()) {
    source.position = runs[largest].position;
    source.total = runs[largest].total;
  }
  SetSpaceNodeSource(host, &source);
  for (std::size_t i = 0; rc == 0 && i < runs.size(); ++i)
    if (i != largest) rc = FreeRawStretch(host, runs[i].position, runs[i].total);
  SetSpaceNodeSource(host, nullptr);
  if (rc == 0 && source.total > 0) rc = FreeRawStretch(host, source.position, source.total);
  UnlockFileHeader(host);
  return rc;
}

}  // namespace

bool HostHasOpenMembers(const FileControlBlock* host) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return false;
  for (int n = 0; n < inst->files_allocated; ++n) {
    const FileControlBlock* f = inst->files[n];
    if (f == nullptr || f == host || f->os.host != &host->os) continue;
    if ((f->state == kStateOpen || f->state == kStateVirtual) && f->header.file_class == kClassSuperMember)
      return true;
  }
  return false;
}

int MemberNameByIndex(int host_number, int n, char* buffer, int size) {
  if (n <= 0 || buffer == nullptr || size <= 0) return SetEngineError(116);
  FileControlBlock* host = CheckFileNumber(host_number);
  if (host == nullptr) return CurrentInstance()->eng_err;
  if (host->header.file_class != kClassSuperHost || !(host->header.kept_mode & kModeSuperHost))
    return SetEngineError(411);
  const int directory = host_number + 1;
  uint8_t key[256] = {};
  uint32_t found = frskey(directory, key);
  for (int i = 1; found != 0 && i < n; ++i) found = IndexNextKey(directory, key);
  if (found == 0) {
    const int rc = CurrentInstance()->eng_err;
    return SetEngineError(rc != 0 && rc != 101 ? rc : 101);
  }
  int length = static_cast<int>(host->header.name_limit);
  if (length > 255) length = 255;
  while (length > 0 && key[length - 1] == ' ') --length;
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, key, static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return SetEngineError(0);
}

int DeleteMemberFile(int number) {
  FileControlBlock* fcb = CheckFileNumber(number);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  FileControlBlock* host = SuperfileHostOf(fcb);
  if (host == nullptr || fcb->header.file_class != kClassSuperMember) return SetEngineError(48);
  const int host_number = host->number;
  const uint32_t limit = host->header.name_limit;
  const uint32_t header_position = fcb->header_position;
  const uint32_t member = fcb->header.superfile_member;
  const uint32_t entry = header_position - limit - kLongVarHeader;
  const std::vector<uint8_t> key = KeyOf(fcb->name, limit);
  const int members = fcb->header.file_type == kFileTypeIndex ? fcb->header.member_count : 0;
  CurrentFileStateHooks().forget_file_locks(number);
  if (int rc = CloseFileEntry(number)) return rc;
  for (int m = 0; m <= members; ++m) CurrentFileStateHooks().forget_isam_file(number + m);
  if (key.empty()) return SetEngineError(418);
  if (int rc = DeleteKeyEntry(host_number + 1, key.data(), header_position)) return SetEngineError(rc);
  return SetEngineError(FreeMemberStretches(host, member, entry));
}

namespace {

char SeparatorChar() {
  EngineInstance* inst = CurrentInstance();
  return inst != nullptr && inst->member_separator ? inst->member_separator : '!';
}

// host + separator + member into out: false when the member part is empty,
// holds the separator, or the whole name passes 255 characters.
bool FullMemberName(const char* host, const char* member, std::string* out) {
  if (member == nullptr || member[0] == '\0' || std::strchr(member, SeparatorChar()) != nullptr) return false;
  *out = std::string(host) + SeparatorChar() + member;
  return out->size() <= 255;
}

}  // namespace

int CreateMember(int host, int number, const char* member_name, const MemberParameters& p, uint16_t mode) {
  FileControlBlock* h = CheckFileNumber(host);
  if (h == nullptr) return SetEngineError(411);
  if (h->header.file_class != kClassSuperHost || !(h->header.kept_mode & kModeSuperHost))
    return SetEngineError(411);
  std::string name;
  if (!FullMemberName(h->name, member_name, &name)) return SetEngineError(418);
  if (p.index)
    return CreateIndexFile(number, name.c_str(), p.key_length, p.key_type, p.duplicates, p.index_members,
                           p.extension_size, mode);
  return CreateDataFile(number, name.c_str(), p.record_length, p.extension_size, mode);
}

int RenameMember(int number, const char* old_member, const char* new_member) {
  FileControlBlock* fcb = CheckFileNumber(number);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  const int split = SplitMemberName(fcb->name);
  if (split <= 0 || fcb->header.file_class != kClassSuperMember) return SetEngineError(48);
  if (old_member == nullptr || CompareFileNames(fcb->name + split + 1, old_member) != 0) return SetEngineError(67);
  std::string name;
  if (!FullMemberName(std::string(fcb->name, static_cast<std::size_t>(split)).c_str(), new_member, &name))
    return SetEngineError(418);
  return RenameMemberFile(number, name.c_str());
}

int RenameMemberFile(int number, const char* new_name) {
  FileControlBlock* fcb = CheckFileNumber(number);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  FileControlBlock* host = SuperfileHostOf(fcb);
  if (host == nullptr || fcb->header.file_class != kClassSuperMember) return SetEngineError(48);
  const int old_split = SplitMemberName(fcb->name);
  if (SplitMemberName(new_name) != old_split || old_split <= 0) return SetEngineError(418);
  const std::string old_host(fcb->name, static_cast<std::size_t>(old_split));
  const std::string new_host(new_name, static_cast<std::size_t>(old_split));
  if (CompareFileNames(old_host.c_str(), new_host.c_str()) != 0) return SetEngineError(418);
  const uint32_t limit = host->header.name_limit;
  const std::vector<uint8_t> old_key = KeyOf(fcb->name, limit);
  const std::vector<uint8_t> new_key = KeyOf(new_name, limit);
  if (old_key.empty() || new_key.empty()) return SetEngineError(418);
  const int directory = host->number + 1;
  uint8_t found[256];
  if (FindKeyEqual(directory, new_key.data(), found) != 0) return SetEngineError(46);
  const uint32_t position = fcb->header_position;
  if (FindKeyEqual(directory, old_key.data(), found) != position) return SetEngineError(67);
  if (int rc = DeleteKeyEntry(directory, old_key.data(), position)) return SetEngineError(rc);
  if (int rc = addkey(directory, new_key.data(), position, kAddMemberDirectory)) {
    addkey(directory, old_key.data(), position, kAddMemberDirectory);
    return SetEngineError(rc);
  }
  int32_t count = 0;
  const uint32_t name_at = position - limit;
  if (int rc = FilePositionedIo(1, &host->os, name_at, const_cast<uint8_t*>(new_key.data()),
                                static_cast<int32_t>(limit), &count)) {
    DeleteKeyEntry(directory, new_key.data(), position);
    addkey(directory, old_key.data(), position, kAddMemberDirectory);
    return SetEngineError(rc);
  }
  CopyBoundedString(fcb->name, new_name, sizeof fcb->name);
  return SetEngineError(0);
}

}  // namespace isam
