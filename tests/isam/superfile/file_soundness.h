// Checks below the file-set check, shared by the fault and crash tests: a
// physical walk of a whole superfile host (every stretch of every member,
// the host's own free space against its index), the key count of an index
// against its tree, and a block's header image against the disk.
// Each returns an empty text when sound, else what is wrong.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space_index.h"
#include "isam/index/key_search.h"
#include "isam/index/varlen_record.h"

namespace isam {

// How strictly the host's free space must match its free-space keys.
enum class FreeSpaceKeys {
  kExact,         // after a failed call, which undoes itself: one key per free stretch
  kNoneDangling,  // after a crash: a free stretch may have lost its key (space
                  // leaked), but no key may name space that is not free
};

// Every stretch from the host's first to its logical end has a known mark
// and the walk lands exactly on the end (a stretch without a header, as a
// growth that raised the end before stamping its stretch leaves, fails
// here); the host's own free stretches and its free-space keys agree.
inline std::string HostWalkProblem(FileControlBlock* host, FreeSpaceKeys rule = FreeSpaceKeys::kExact) {
  if (host == nullptr) return "no host";
  if (ReadFileHeader(host) != 0) return "host header unreadable";
  std::set<std::pair<uint32_t, uint32_t>> free_stretches;
  const uint64_t end = static_cast<uint64_t>(host->header.logical_end) + 1;
  uint64_t position = host->header.node_size;
  uint64_t steps = 0;
  while (position < end) {
    VarRecordHeader h;
    if (ReadVarRecordHeader(host, static_cast<uint32_t>(position), &h) != 0 || CheckRecordMark(h) != 0)
      return "host stretch without a sound header at " + std::to_string(position);
    if (h.mark == kMarkFree && h.member == 0) free_stretches.emplace(static_cast<uint32_t>(position), h.total);
    position += h.total;
    if (++steps > end) return "host walk does not end";
  }
  if (position != end) return "host walk runs past the end";
  std::set<std::pair<uint32_t, uint32_t>> keys;
  const int32_t n = SpaceIndexWalk(host, [](void* c, const SpaceKey& k) {
    static_cast<std::set<std::pair<uint32_t, uint32_t>>*>(c)->emplace(k.position, k.total);
    return true;
  }, &keys);
  if (n < 0) return "host free-space index cannot be walked";
  for (const auto& k : keys) {
    if (free_stretches.count(k) == 0)
      return "host free-space key for space that is not free at " + std::to_string(k.first);
  }
  if (rule == FreeSpaceKeys::kExact && keys.size() != free_stretches.size())
    return "host free space without its key";
  return {};
}

// The header's key count of an index against the keys a walk finds.
inline std::string KeyCountProblem(int index) {
  FileControlBlock* fcb = CheckFileNumber(index);
  if (fcb == nullptr) return "index not open";
  if (IsShared(fcb) && ReadFileHeader(fcb) != 0) return "index header unreadable";
  uint8_t key[256];
  uint32_t walked = 0;
  for (uint32_t p = frskey(index, key); p != 0; p = IndexNextKey(index, key)) ++walked;
  if (walked != fcb->header.active_count)
    return "index " + std::to_string(index) + " counts " + std::to_string(fcb->header.active_count) +
           " keys, its tree holds " + std::to_string(walked);
  return {};
}

// The header image in memory against the header on disk: a change the disk
// did not take must not stay in memory. (A member's ends may run ahead of
// its own header: they follow the host's.)
inline std::string HeaderApartProblem(int file) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return {};
  uint8_t raw[kFileHeaderSize];
  int32_t count = 0;
  if (FilePositionedIo(0, &HolderOf(fcb)->os, fcb->header_position, raw, static_cast<int32_t>(kFileHeaderSize),
                       &count) != 0 ||
      count != static_cast<int32_t>(kFileHeaderSize))
    return {};  // nothing to compare with
  FileHeader disk;
  DecodeFileHeader(raw, &disk);
  const FileHeader& mem = fcb->header;
  std::string wrong;
  const auto same = [&](const char* what, uint32_t m, uint32_t d) {
    if (m != d) wrong += std::string(" ") + what + " " + std::to_string(m) + " in memory, " + std::to_string(d) + " on disk;";
  };
  same("key/record count", mem.active_count, disk.active_count);
  same("root", mem.root, disk.root);
  same("delete stack", mem.delete_stack, disk.delete_stack);
  same("first resource", mem.first_resource, disk.first_resource);
  same("serial", mem.serial_counter, disk.serial_counter);
  same("write count", mem.write_count, disk.write_count);
  if (mem.logical_end < disk.logical_end) same("logical end", mem.logical_end, disk.logical_end);
  return wrong.empty() ? wrong : "file " + std::to_string(file) + ":" + wrong;
}

}  // namespace isam
