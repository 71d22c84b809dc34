#include "isam/superfile/index_key_dump.h"

#include <cstring>
#include <string>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_open.h"
#include "isam/index/key_search.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/function_table.h"
#include "isam/superfile/superfile_names.h"
#include "platform/os_file.h"

namespace isam {
namespace {

constexpr uint16_t kDumpOpenMode = 0x1008;  // read-only
constexpr std::size_t kFlushAt = 64 * 1024;

// An index file may reserve numbers behind its own for its members; how
// many is known only from its header. Tries runs of free numbers of growing
// length until the open no longer meets a number in use.
int OpenAtFreeNumbers(const char* name, int first_run, int* number) {
  int rc = 46;
  for (int run = first_run; run <= kMaxIndexMembers + 1; ++run) {
    const int n = FindFreeFileNumbers(run);
    if (n < 0) return SetEngineError(46);
    rc = OpenFileEntry(n, name, kDumpOpenMode);
    if (rc == 0) {
      *number = n;
      return 0;
    }
    if (rc != 46 && rc != 22) break;
  }
  return SetEngineError(rc);
}

// The files this dump opened, closed again however it ends: the index
// first, then the host it opened for a member.
struct OpenedFiles {
  int index = -1;
  int host = -1;
  ~OpenedFiles() {
    if (index >= 0) CloseFileEntry(index);
    if (host >= 0) CloseFileEntry(host);
  }
};

// The output file: written in large pieces, deleted again unless kept.
class DumpOutput {
 public:
  explicit DumpOutput(const char* name) : name_(name) {}
  ~DumpOutput() {
    if (file_ != nullptr) platform::CloseOsFile(file_);
    if (!kept_ && created_) platform::DeleteOsFile(name_.c_str());
  }
  int Create() {
    file_ = platform::OpenOsFile(name_.c_str(), platform::FileShare::kExclusive,
                                 platform::FileDisposition::kCreateNew);
    if (file_ == nullptr) return platform::LastFileError() == platform::kFileExists ? kEngFileExists : kEngCreateFailed;
    created_ = true;
    return 0;
  }
  int Append(const uint8_t* bytes, std::size_t n) {
    pending_.insert(pending_.end(), bytes, bytes + n);
    return pending_.size() >= kFlushAt ? Drain() : 0;
  }
  int Finish() {
    if (int rc = Drain()) return rc;
    const bool closed = platform::CloseOsFile(file_);
    file_ = nullptr;
    if (!closed) return kEngWriteFailed;
    kept_ = true;
    return 0;
  }

 private:
  int Drain() {
    if (pending_.empty()) return 0;
    uint32_t done = 0;
    if (!platform::WriteOsFile(file_, pending_.data(), static_cast<uint32_t>(pending_.size()), &done) ||
        done != pending_.size())
      return kEngWriteFailed;
    pending_.clear();
    return 0;
  }

  std::string name_;
  platform::OsFile* file_ = nullptr;
  std::vector<uint8_t> pending_;
  bool created_ = false;
  bool kept_ = false;
};

// Opens the index (its host first for a member name): 0 or the code.
int OpenIndexForDump(const char* name, OpenedFiles* opened) {
  const int host_length = SplitMemberName(name);
  if (host_length > 0) {
    const std::string host_name(name, static_cast<std::size_t>(host_length));
    if (FindOpenFileByName(host_name.c_str()) < 0) {
      // The host and its member directory take a pair of numbers.
      if (int rc = OpenAtFreeNumbers(host_name.c_str(), 2, &opened->host)) return rc;
    }
  }
  return OpenAtFreeNumbers(name, 1, &opened->index);
}

// The file number of member `member` of the open index at `index`: 0 or 48 / 23.
int MemberNumber(int index, int member, int* file) {
  FileControlBlock* fcb = CheckFileNumber(index);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (fcb->header.file_type != kFileTypeIndex) return 48;
  if (member < 0 || member > fcb->header.member_count) return 23;
  if (member > 0) {
    // A reserved member that was never added is not open.
    FileControlBlock* m = CheckFileNumber(index + member);
    if (m == nullptr || m->host != fcb || m->header.member_number != member) return 23;
  }
  *file = index + member;
  return 0;
}

// Writes every key of `file` to out: the number of keys, or -code.
int32_t WriteKeys(int file, DumpOutput* out) {
  FileControlBlock* fcb = CheckFileNumber(file);
  const int key_length = fcb->layout.key_length;
  const int kept = fcb->layout.duplicates ? key_length - 4 : key_length;
  // No index holds more keys than it has bytes: a longer walk is a cycle.
  const uint64_t bound = static_cast<uint64_t>(HolderOf(fcb)->header.logical_end) + 1;
  uint8_t key[256];
  uint8_t entry[256 + 4];
  int32_t count = 0;
  SetEngineError(0);
  for (uint32_t position = frskey(file, key); position != 0; position = IndexNextKey(file, key)) {
    if (static_cast<uint64_t>(count) >= bound) return -kErrFileDamaged;
    std::memcpy(entry, key, static_cast<std::size_t>(kept));
    PutLe32(entry + kept, position);
    if (int rc = out->Append(entry, static_cast<std::size_t>(kept) + 4)) return -rc;
    ++count;
  }
  if (int rc = CurrentInstance()->eng_err) return -rc;  // the walk ended on an error
  return count;
}

int FnDumpIndexKeys(EngineCall* c) {
  DumpIndexKeys(c->file, static_cast<IndexKeyDumpBlock*>(c->block));
  return CurrentInstance()->eng_err;
}

}  // namespace

int32_t DumpIndexKeys(int member, IndexKeyDumpBlock* block) {
  if (block == nullptr) return SetEngineError(kEngBadArgument), 0;
  block->key_count = 0;
  if (block->index_name[0] == '\0' || block->output_name[0] == '\0') return SetEngineError(kEngBadArgument), 0;
  int32_t count = 0;
  int rc = 0;
  {
    OpenedFiles opened;
    int file = -1;
    rc = OpenIndexForDump(block->index_name, &opened);
    if (rc == 0) rc = MemberNumber(opened.index, member, &file);
    if (rc == 0) {
      DumpOutput out(block->output_name);
      rc = out.Create();
      if (rc == 0) {
        count = WriteKeys(file, &out);
        if (count < 0) rc = -count;
      }
      if (rc == 0) rc = out.Finish();
    }
  }  // the files opened here are closed before the code is set
  if (rc != 0) return SetEngineError(rc), 0;
  block->key_count = count;
  SetEngineError(0);
  return count;
}

void InstallIndexKeyDumpFunction() { InstallEngineFunction(kFnDumpIndexKeys, FnDumpIndexKeys); }

}  // namespace isam
