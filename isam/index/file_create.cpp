#include "isam/index/file_create.h"

#include <cstring>
#include <vector>

#include "isam/index/file_control_block.h"
#include "isam/index/header_lock.h"
#include "isam/index/member_files.h"
#include "isam/index/node_cache.h"
#include "isam/index/resource_anchor.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"

namespace isam {
namespace {

constexpr uint16_t kSuperHostExtension = 32768;

// A free block for a create, with the name checks shared by both creates.
FileControlBlock* FreeBlockFor(int number, const char* name, uint16_t mode, int* rc) {
  EngineInstance* inst = CurrentInstance();
  *rc = 0;
  if (inst == nullptr || inst->files == nullptr) {
    *rc = SetEngineError(47);
    return nullptr;
  }
  if (name == nullptr || name[0] == '\0' || std::strlen(name) > 255) {
    *rc = SetEngineError(17);
    return nullptr;
  }
  if (IsMemberName(name) && (mode & kModeSuperHost)) {
    *rc = SetEngineError(414);  // a host cannot live inside another
    return nullptr;
  }
  FileControlBlock* fcb = GetFileControlBlock(number);
  if (fcb == nullptr) {
    *rc = inst->eng_err;
    return nullptr;
  }
  if (fcb->state != kStateFree) {
    *rc = SetEngineError(46);
    return nullptr;
  }
  if (mode & kModeTransaction) {
    *rc = SetEngineError(53);
    return nullptr;
  }
  return fcb;
}

void ResetBlock(FileControlBlock* fcb, int number) {
  const int16_t n = static_cast<int16_t>(number);
  fcb->header = FileHeader{};
  fcb->header_position = 0;
  fcb->os = EngineOsFile{};
  fcb->os.owner = fcb;
  fcb->host = fcb;
  fcb->next_member = nullptr;
  fcb->number = n;
  fcb->current_node = 0;
  fcb->current_entry = 0;
  fcb->header_lock_depth = 0;
  fcb->updates_blocked = false;
  fcb->disk_header_known = false;
}

uint16_t EffectiveExtension(uint16_t requested, uint16_t mode, uint32_t unit) {
  if (mode & kModeTransaction2)
    return static_cast<uint16_t>(ChooseExtensionSize(requested, static_cast<int32_t>(unit)));
  return requested;
}

// The header claims the space up to its logical end (the header block of a
// variable file, the bytes before a fixed file's first record); a plain
// file is written out that far at once, so it opens again even when no
// resource or record ever extends it. A member's header lives in its entry.
int FillHeaderBlock(FileControlBlock* fcb) {
  if (IsMemberName(fcb->name)) return 0;
  const uint32_t end = fcb->header.logical_end + 1;
  if (end <= kFileHeaderSize) return 0;
  std::vector<uint8_t> zeros(end - kFileHeaderSize, 0);
  return FileIo(1, fcb, kFileHeaderSize, zeros.data(), static_cast<uint32_t>(zeros.size()));
}

// OS create, header write and (unless 0x800) the anchor; on failure the
// file is closed and deleted again and the block freed.
int CreateOnDisk(FileControlBlock* fcb, const char* name, uint16_t mode) {
  EngineInstance* inst = CurrentInstance();
  CopyBoundedString(fcb->name, name, sizeof fcb->name);
  if (IsMemberName(fcb->name)) {
    if (int rc = CurrentMemberHooks().create_member(fcb, fcb->name, mode)) {
      ResetBlock(fcb, fcb->number);
      return SetEngineError(rc);
    }
  } else if (int rc = OsCreateFile(&fcb->os, fcb->name, mode)) {
    ResetBlock(fcb, fcb->number);
    return SetEngineError(rc == 19 ? 19 : 17);
  }
  fcb->state = kStateOpen;
  ++inst->files_open;
  int rc = fcb->header.file_type == kFileTypeVariable ? WriteHeaderStart(fcb) : 0;
  if (rc == 0) rc = WriteFileHeader(fcb);
  if (rc == 0) rc = FillHeaderBlock(fcb);
  if (rc == 0 && !(mode & kModeNoFirstResource)) rc = WriteResourceAnchor(fcb);
  if (rc != 0) {
    OsCloseFile(&fcb->os);
    if (!IsMemberName(fcb->name)) OsDeleteFile(fcb->name);
    --inst->files_open;
    fcb->state = kStateFree;
    ResetBlock(fcb, fcb->number);
    return SetEngineError(rc);
  }
  return 0;
}

// A new host gets its member directory; without one it is deleted again.
int CreateHostWithDirectory(int number, uint16_t mode) {
  const int rc = CurrentMemberHooks().create_host_directory(number, mode);
  if (rc == 0) return 0;
  FileControlBlock* fcb = CurrentInstance()->files[number];
  OsCloseFile(&fcb->os);
  OsDeleteFile(fcb->name);
  --CurrentInstance()->files_open;
  fcb->state = kStateFree;
  ResetBlock(fcb, number);
  return SetEngineError(rc);
}

}  // namespace

int InitIndexControl(FileHeader* header, int key_length, int key_type, int duplicates) {
  if (key_length <= 0 || key_length >= 256) return 45;
  if (key_type & 0x3) return 52;
  if (duplicates && key_length <= 4) return 45;
  FileHeader h = *header;
  h.file_type = kFileTypeIndex;
  h.key_length = static_cast<uint16_t>(key_length);
  h.key_type = static_cast<uint8_t>(key_type);
  h.duplicates = duplicates ? 1 : 0;
  h.variant = (key_type & 0x10) ? 1 : 0;
  h.padding = 32;
  ComputeNodeGeometry(&h);
  if (CheckIndexGeometry(h) != 0) return 20;
  *header = h;
  return 0;
}

int CreateDataFile(int number, const char* name, int record_length, uint16_t extension_size,
                   uint16_t mode) {
  EngineInstance* inst = CurrentInstance();
  if (mode & kModeSuperHost) {
    // A host keeps its members as variable-length records and grows by 32 KB,
    // a size only an unsigned 16-bit field can hold.
    record_length = 0;
    if (static_cast<int16_t>(extension_size) >= 0) extension_size = kSuperHostExtension;
    mode = static_cast<uint16_t>(mode | kModeKeptOpen | kModeVariable);
  }
  int rc = 0;
  FileControlBlock* fcb = FreeBlockFor(number, name, mode, &rc);
  if (fcb == nullptr) return rc;
  ResetBlock(fcb, number);
  FileHeader& h = fcb->header;
  if (mode & kModeVariable) {
    // A host's nodes are the engine's own size (an opener with another size
    // is refused); a plain variable file uses at most 4 sectors. A member's
    // free-space nodes are host stretches: with their 18-byte stretch
    // header in front each fills exactly one of the host's nodes.
    int sectors = inst->node_size / 128;
    if (sectors > 4 && !(mode & kModeSuperHost)) sectors = 4;
    const int node_size = IsMemberName(name) ? inst->node_size - static_cast<int>(kLongVarHeader) : sectors * 128;
    if (node_size - 18 < 48) return SetEngineError(20);
    h.node_size = static_cast<uint16_t>(node_size);
    h.node_usable = static_cast<uint16_t>(node_size - 18);
    h.key_bytes = static_cast<uint16_t>((node_size - 18) / 12 * 12 - 12);
    h.leaf_limit = static_cast<uint16_t>(node_size / 4);
    h.key_length = 12;
    h.file_type = kFileTypeVariable;
    h.variant = 2;
    h.logical_end = static_cast<uint32_t>(node_size - 1);
    h.record_length = static_cast<uint16_t>(record_length > 0 ? record_length : 0);
  } else {
    if (record_length < 5 || record_length > 0xFFFF) return SetEngineError(21);
    h.record_length = static_cast<uint16_t>(record_length);
    h.file_type = kFileTypeFixed;
    const uint32_t per = (128 + record_length - 1) / record_length;
    h.logical_end = per * record_length - 1;
  }
  if (mode & kModeSuperHost) {
    h.file_class = kClassSuperHost;
    h.name_limit = static_cast<uint16_t>(inst->member_name_limit ? inst->member_name_limit : 255);
  }
  h.physical_end = h.logical_end;
  h.open_mode = mode;
  h.kept_mode = mode & kKeptModeMask;
  h.extension_size = EffectiveExtension(extension_size, mode,
                                        h.file_type == kFileTypeFixed ? h.record_length : h.node_size);
  int made = CreateOnDisk(fcb, name, mode);
  if (made == 0 && (mode & kModeSuperHost)) made = CreateHostWithDirectory(number, mode);
  return made;
}

int CreateIndexFile(int number, const char* name, int key_length, int key_type, int duplicates,
                    int members, uint16_t extension_size, uint16_t mode) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return SetEngineError(47);
  if (members < 0 || members >= kMaxIndexMembers) return SetEngineError(23);
  if (number < 0 || number + members >= inst->file_count) return SetEngineError(22);
  for (int m = 1; m <= members; ++m)
    if (int state = FileNumberState(number + m)) return SetEngineError(state);
  int rc = 0;
  FileControlBlock* fcb = FreeBlockFor(number, name, mode, &rc);
  if (fcb == nullptr) return rc;
  ResetBlock(fcb, number);
  FileHeader& h = fcb->header;
  h.node_size = static_cast<uint16_t>(inst->node_size);
  if (int bad = InitIndexControl(&h, key_length, key_type, duplicates)) return SetEngineError(bad);
  h.member_count = static_cast<uint16_t>(members);
  const uint32_t headers = 128u * static_cast<uint32_t>(members + 1);
  h.logical_end = (headers + h.node_size - 1) / h.node_size * h.node_size - 1;
  h.physical_end = h.logical_end;
  h.open_mode = mode;
  h.kept_mode = mode & kKeptModeMask;
  h.extension_size = EffectiveExtension(extension_size, mode, h.node_size);
  fcb->layout = LayoutOfIndex(h);
  for (int m = 1; m <= members; ++m) {
    FileControlBlock* member = GetFileControlBlock(number + m);
    if (member == nullptr) return inst->eng_err;
  }
  if ((rc = CreateOnDisk(fcb, name, mode)) != 0) return rc;
  for (int m = 1; m <= members; ++m) inst->files[number + m]->state = kStateReservedMember;
  return 0;
}

namespace {

// The fields InitIndexControl sets.
void CopyKeyLayout(const FileHeader& from, FileHeader* to) {
  to->file_type = from.file_type;
  to->key_length = from.key_length;
  to->key_type = from.key_type;
  to->duplicates = from.duplicates;
  to->variant = from.variant;
  to->padding = from.padding;
  to->key_bytes = from.key_bytes;
  to->node_usable = from.node_usable;
  to->leaf_limit = from.leaf_limit;
}

}  // namespace

int PutIndexTable(int number) {
  FileControlBlock* index = CheckFileNumber(number);
  if (index == nullptr) return CurrentInstance()->eng_err;
  if (index->header.file_type != kFileTypeIndex || index->header.member_number != 0)
    return SetEngineError(48);
  if (index->header.open_mode & kModeReadOnly) return SetEngineError(54);
  for (FileControlBlock* f = index; f != nullptr; f = f->next_member)
    if (CheckIndexGeometry(f->header) != 0) return SetEngineError(20);
  for (FileControlBlock* f = index; f != nullptr; f = f->next_member) {
    const FileHeader layout = f->header;
    if (int rc = LockFileHeader(f)) return rc;
    CopyKeyLayout(layout, &f->header);
    const int rc = WriteFileHeader(f);
    UnlockFileHeader(f);
    f->layout = LayoutOfIndex(f->header);
    ReleaseFileNodes(f->number, false);
    if (rc != 0) return rc;
  }
  return SetEngineError(0);
}

int AddIndexMember(int number, int key_length, int key_type, int duplicates, int member) {
  FileControlBlock* index = CheckFileNumber(number);
  if (index == nullptr) return CurrentInstance()->eng_err;
  if (index->header.file_type != kFileTypeIndex || index->header.member_number != 0)
    return SetEngineError(48);
  if (member < 1 || member > index->header.member_count) return SetEngineError(23);
  EngineInstance* inst = CurrentInstance();
  FileControlBlock* m = number + member < inst->files_allocated ? inst->files[number + member] : nullptr;
  if (m == nullptr || m->state != kStateReservedMember) return SetEngineError(46);
  FileHeader h = index->header;
  h.root = 0;
  h.active_count = 0;
  h.member_count = 0;
  h.first_resource = 0;
  h.member_number = static_cast<uint16_t>(member);
  if (int bad = InitIndexControl(&h, key_length, key_type, duplicates)) return SetEngineError(bad);
  h.header_position = index->header_position + 128u * static_cast<uint32_t>(member);
  ResetBlock(m, number + member);
  m->header = h;
  m->header_position = h.header_position;
  m->host = index;
  m->layout = LayoutOfIndex(h);
  CopyBoundedString(m->name, index->name, sizeof m->name);
  m->state = kStateOpen;
  FileControlBlock** link = &index->next_member;
  while (*link != nullptr) link = &(*link)->next_member;
  *link = m;
  if (int rc = LockFileHeader(m)) {
    m->state = kStateReservedMember;
    *link = nullptr;
    return rc;
  }
  m->header = h;  // the disk held no member header yet
  const int rc = WriteFileHeader(m);
  UnlockFileHeader(m);
  return rc;
}

}  // namespace isam
