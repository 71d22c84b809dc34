#include "isam/index/varlen_record.h"

#include <cstring>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_node.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space.h"
#include "isam/index/member_files.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"

namespace isam {

namespace {

// The rest split off a record (header already shrunk to `shrunk`) becomes
// free space; when it cannot be keyed the record takes it back whole, so
// no free stretch is left outside the index. The record itself is sound
// either way: 0, or the code of a failed take-back.
int KeepRestWhenNotFreed(FileControlBlock* fcb, uint32_t position, VarRecordHeader shrunk, uint32_t whole) {
  if (FreeRawStretch(fcb, position + shrunk.total, whole - shrunk.total) == 0) return 0;
  shrunk.total = whole;
  if (int rc = WriteVarRecordHeader(fcb, position, shrunk)) return rc;
  return SetEngineError(0);
}

struct CrcTable {
  uint32_t entries[256];
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[i] = c;
    }
  }
};

}  // namespace

uint32_t RecordCheckValue(const void* data, uint32_t length) {
  static const CrcTable table;
  const auto* b = static_cast<const uint8_t*>(data);
  uint32_t c = 0xFFFFFFFFu;
  for (uint32_t i = 0; i < length; ++i) c = table.entries[(c ^ b[i]) & 0xFF] ^ (c >> 8);
  c ^= 0xFFFFFFFFu;
  if (c == 0) return 1;
  if (c == 0xFFFFFFFFu) return 0xFFFFFFFEu;
  return c;
}

bool RecordBytesMatch(uint32_t position, const VarRecordHeader& header, const void* data, uint32_t length) {
  if (header.link == 0 || header.link == kNodeRestartMark || length != header.used) return true;
  if (RecordCheckValue(data, length) == header.link) return true;
  WriteStatusLog("A record's bytes do not match its check value; it is taken as not written:",
                 static_cast<int>(position & 0x7FFFFFFF));
  return false;
}

uint32_t VarHeaderLength(const FileControlBlock* fcb) {
  const uint16_t cls = fcb->header.file_class;
  return cls == kClassSuperHost || cls == kClassSuperMember ? kLongVarHeader : kShortVarHeader;
}

uint32_t FirstVarPosition(const FileControlBlock* fcb) {
  // A member's stretches lie among the host's: its walk starts where the host's does.
  if (const uint32_t host_first = SuperfileFirstPosition(fcb)) return host_first;
  return fcb->header.node_size;
}

int CheckRecordMark(const VarRecordHeader& header) {
  switch (header.mark) {
    case kMarkActive:
    case kMarkFree:
    case kMarkMemberFree:
    case kMarkSpaceNode:
    case kMarkResource:
      return 0;
    default:
      return 123;
  }
}

bool TornMarkWithoutRecord(const VarRecordHeader& header) {
  auto is_free = [](uint8_t b) { return b == (kMarkFree & 0xFF) || b == (kMarkMemberFree & 0xFF); };
  const uint8_t first = header.mark & 0xFF, second = header.mark >> 8;  // written in this order
  const uint8_t record = kMarkActive & 0xFF;
  return (is_free(first) && second == record) || (first == record && is_free(second) && header.used == 0);
}

int ReadVarRecordHeader(FileControlBlock* fcb, uint32_t position, VarRecordHeader* header) {
  if (position == 0) return SetEngineError(159);
  if (fcb->header.file_type != kFileTypeVariable) return SetEngineError(48);
  const uint32_t hlen = VarHeaderLength(fcb);
  uint8_t b[kLongVarHeader];
  if (static_cast<uint64_t>(position) + hlen - 1 > fcb->header.logical_end && IsShared(fcb) &&
      fcb->header_lock_depth == 0) {
    if (int rc = ReadFileHeader(fcb)) return SetEngineError(rc);
  }
  if (static_cast<uint64_t>(position) + hlen - 1 > fcb->header.logical_end)
    return SetEngineError(kErrFileDamaged);
  int32_t count = 0;
  if (int rc = FilePositionedIo(0, &HolderOf(fcb)->os, position, b, static_cast<int32_t>(hlen), &count))
    return SetEngineError(rc);
  header->mark = GetLe16(b);
  header->total = GetLe32(b + 2);
  header->used = GetLe32(b + 6);
  header->member = hlen == kLongVarHeader ? GetLe32(b + 10) : 0;
  header->link = hlen == kLongVarHeader ? GetLe32(b + 14) : 0;
  // Damaged content must never send a walk backwards or past the end.
  if (header->total < hlen || header->used > header->total - hlen ||
      static_cast<uint64_t>(position) + header->total - 1 > fcb->header.logical_end) {
    if (CheckRecordMark(*header) != 0) return 0;  // the caller reports the bad mark
    return SetEngineError(kErrFileDamaged);
  }
  return 0;
}

int WriteVarRecordHeader(FileControlBlock* fcb, uint32_t position, const VarRecordHeader& header) {
  const uint32_t hlen = VarHeaderLength(fcb);
  uint8_t b[kLongVarHeader];
  PutLe16(b, header.mark);
  PutLe32(b + 2, header.total);
  PutLe32(b + 6, header.used);
  PutLe32(b + 10, header.member);
  PutLe32(b + 14, header.link);
  int32_t count = 0;
  FileControlBlock* holder = HolderOf(fcb);
  holder->claimed_stretch = 0;
  if (int rc = FilePositionedIo(1, &holder->os, position, b, static_cast<int32_t>(hlen), &count))
    return SetEngineError(rc);
  // The last header this block wrote: AllocVarSpace keeps it for the
  // record write that follows (free_space.cpp).
  holder->claimed_stretch = position;
  holder->claimed_header = header;
  holder->claimed_header.member = hlen == kLongVarHeader ? header.member : 0;
  holder->claimed_header.link = hlen == kLongVarHeader ? header.link : 0;
  return 0;
}

uint32_t VarRecordLength(int file, uint32_t position) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return 0;
  if (fcb->header.file_type != kFileTypeVariable) return SetEngineError(48), 0;
  if (position == 0) return SetEngineError(29), 0;
  VarRecordHeader h;
  if (ReadVarRecordHeader(fcb, position, &h) != 0) return 0;
  if (h.mark != kMarkActive) return SetEngineError(158), 0;
  SetEngineError(0);
  return h.used;
}

namespace {

int32_t ReadLengthAndHeader(FileControlBlock* fcb, uint32_t position, int32_t size, bool strict, VarRecordHeader* out) {
  if (position == 0) return -SetEngineError(29);
  if (size < 0) return -SetEngineError(634);
  VarRecordHeader& h = *out;
  if (int rc = ReadVarRecordHeader(fcb, position, &h)) return -rc;
  if (h.mark != kMarkActive) return -SetEngineError(158);
  if (h.used == 0) return -SetEngineError(160);
  if (static_cast<uint32_t>(size) < h.used) {
    if (strict) return -SetEngineError(153);
    return size;
  }
  return static_cast<int32_t>(h.used);
}

}  // namespace

int32_t ReadVarRecordLength(FileControlBlock* fcb, uint32_t position, int32_t size, bool strict) {
  VarRecordHeader h;
  return ReadLengthAndHeader(fcb, position, size, strict, &h);
}

int32_t ReadVarRecordAt(FileControlBlock* fcb, uint32_t position, void* buffer, int32_t size,
                        bool strict) {
  if (buffer == nullptr) return -SetEngineError(33);
  VarRecordHeader h;
  const int32_t n = ReadLengthAndHeader(fcb, position, size, strict, &h);
  if (n < 0) return n;
  const uint32_t hlen = VarHeaderLength(fcb);
  int32_t count = 0;
  if (int rc = FilePositionedIo(0, &HolderOf(fcb)->os, position + hlen, buffer, n, &count))
    return -SetEngineError(rc);
  bool whole = true;
  if (h.link != 0 && static_cast<uint32_t>(n) == h.used) {
    whole = RecordBytesMatch(position, h, buffer, h.used);
  } else if (h.link != 0) {  // a part read: the check needs every byte
    std::vector<uint8_t> all(h.used);
    whole = FilePositionedIo(0, &HolderOf(fcb)->os, position + hlen, all.data(), static_cast<int32_t>(h.used), &count) == 0 &&
            RecordBytesMatch(position, h, all.data(), h.used);
  }
  if (!whole) {
    std::memset(buffer, 0, static_cast<std::size_t>(n));
    return -SetEngineError(160);
  }
  SetEngineError(0);
  return n;
}

int WriteVarRecordAt(FileControlBlock* fcb, uint32_t position, const void* record, uint32_t length,
                     bool keep_whole) {
  if (position == 0) return SetEngineError(159);
  if (record == nullptr) return SetEngineError(33);
  VarRecordHeader h;
  // A stretch AllocVarSpace has just handed out has the header it wrote.
  FileControlBlock* holder = HolderOf(fcb);
  if (holder->claimed_stretch == position && position != 0) {
    h = holder->claimed_header;
    holder->claimed_stretch = 0;
  } else {
    holder->claimed_stretch = 0;
    if (int rc = ReadVarRecordHeader(fcb, position, &h)) return rc;
  }
  if (CheckRecordMark(h) != 0) return SetEngineError(123);
  const uint32_t hlen = VarHeaderLength(fcb);
  if (static_cast<uint64_t>(length) + hlen > h.total) return SetEngineError(148);
  const uint32_t rest = h.total - length - hlen;
  const bool split = !keep_whole && rest > 64 && rest > fcb->header.record_length + hlen &&
                     fcb->header.file_class != kClassSuperMember;
  // The data goes in first and the header last: a stretch whose header
  // still holds the old length is never read with half-new data behind a
  // new length. The split-off rest is marked free before the record's
  // total shrinks, so a walk never meets an unmarked stretch.
  int32_t count = 0;
  if (int rc = FilePositionedIo(1, &HolderOf(fcb)->os, position + hlen, const_cast<void*>(record),
                                static_cast<int32_t>(length), &count))
    return SetEngineError(rc);
  if (split) {
    VarRecordHeader free_header;
    free_header.mark = kMarkFree;
    free_header.total = rest;
    free_header.member = h.member;
    if (int rc = WriteVarRecordHeader(fcb, position + length + hlen, free_header)) return rc;
  }
  h.mark = kMarkActive;
  h.used = length;
  h.member = fcb->header.superfile_member;
  // A member's records carry their check value; a host's own records (its
  // member entries, whose headers are rewritten in place) carry none.
  if (hlen == kLongVarHeader)
    h.link = fcb->header.file_class == kClassSuperMember ? RecordCheckValue(record, length) : 0;
  const uint32_t whole = h.total;
  if (split) h.total = length + hlen;
  if (int rc = WriteVarRecordHeader(fcb, position, h)) return rc;
  if (split) {
    if (int rc = KeepRestWhenNotFreed(fcb, position, h, whole)) return rc;
  }
  return SetEngineError(0);
}

int TrimVarRecordStretch(FileControlBlock* fcb, uint32_t position) {
  VarRecordHeader h;
  if (int rc = ReadVarRecordHeader(fcb, position, &h)) return rc;
  if (h.mark != kMarkActive) return SetEngineError(158);
  const uint32_t hlen = VarHeaderLength(fcb);
  const uint32_t rest = h.total - h.used - hlen;
  if (!(rest > 64 && rest > fcb->header.record_length + hlen && fcb->header.file_class != kClassSuperMember))
    return 0;
  VarRecordHeader free_header;
  free_header.mark = kMarkFree;
  free_header.total = rest;
  free_header.member = h.member;
  if (int rc = WriteVarRecordHeader(fcb, position + h.used + hlen, free_header)) return rc;
  const uint32_t whole = h.total;
  h.total = h.used + hlen;
  if (int rc = WriteVarRecordHeader(fcb, position, h)) return rc;
  return KeepRestWhenNotFreed(fcb, position, h, whole);
}

}  // namespace isam
