// The 128-byte header at the start of every engine file (and of every index
// member inside an index file), its byte codec and the checks an opener runs
// on it. The codec is field by field, little-endian, so every build reads and
// writes the same bytes whatever its struct layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "isam/runtime/byte_range_locks.h"  // file types 0 fixed, 1 index, 2 variable
#include "isam/runtime/os_file_layer.h"     // open-mode bits 0x1, 0x2, 0x4, 0x8

namespace isam {

constexpr std::size_t kFileHeaderSize = 128;
constexpr uint16_t kFileFormatId = 129;

// File classes (+92).
constexpr uint16_t kClassPlain = 0;
constexpr uint16_t kClassSuperHost = 1;
constexpr uint16_t kClassSuperMember = 2;
constexpr uint16_t kClassMemberDirectory = 6;

// Open-mode bits of the open and create calls beyond those of the OS layer.
constexpr uint16_t kModeTransaction = 0x0010;
constexpr uint16_t kModeTransaction2 = 0x0020;
constexpr uint16_t kModeKeepAlias = 0x0100;
constexpr uint16_t kModeSuperHost = 0x0200;
constexpr uint16_t kModeNoFirstResource = 0x0800;
constexpr uint16_t kModeIgnoreMirror = 0x2000;
constexpr uint16_t kModeIgnoreRebuild = 0x4000;
// Bits of the create mode that stay with the file (+50).
constexpr uint16_t kKeptModeMask = 0x86F4;

// Rebuild status values (+56).
constexpr uint8_t kRebuildClean = 0;
constexpr uint8_t kRebuildRunning = 255;
constexpr uint8_t kRebuildCompacted = 'c';
constexpr uint8_t kRebuildOpenedAnyway = 'R';

struct FileHeader {
  uint32_t physical_end = 0;     // +0  last byte of allocated space
  uint32_t delete_stack = 0;     // +4
  uint32_t logical_end = 0;      // +8  last byte in use
  uint32_t first_resource = 0;   // +12
  uint32_t members_created = 0;  // +16 superfile host
  uint32_t serial_counter = 0;   // +20
  uint32_t active_count = 0;     // +24 records or key entries
  uint32_t root = 0;             // +28 root node of an index
  uint32_t reserved32 = 0;       // +32
  uint32_t reserved36 = 0;       // +36
  uint16_t format_id = kFileFormatId;  // +40
  uint16_t node_size = 0;        // +42
  uint16_t record_length = 0;    // +44
  uint16_t extension_size = 0;   // +46 unsigned: a superfile host uses 32768
  uint16_t open_mode = 0;        // +48
  uint16_t kept_mode = 0;        // +50
  uint16_t key_bytes = 0;        // +52 key bytes usable in a leaf
  uint16_t node_usable = 0;      // +54 node size - 18
  uint8_t rebuild_status = 0;    // +56
  uint8_t key_type = 0;          // +57
  uint8_t duplicates = 0;        // +58
  uint8_t variant = 0;           // +59
  uint16_t padding = 0;          // +60 pad byte (32 for an index), one byte on disk
  uint8_t platform2 = 2;         // +61
  uint8_t platform8 = 8;         // +62
  uint8_t platform4 = 4;         // +63
  uint16_t file_type = 0;        // +64
  uint16_t key_length = 0;       // +66
  uint16_t member_count = 0;     // +68 additional index members
  uint16_t member_number = 0;    // +70
  uint32_t reserved72 = 0;       // +72 writers not yet closed cleanly (writer_mark.h)
  uint16_t superfile_member = 0; // +76
  uint16_t reserved78 = 0;       // +78
  uint32_t header_position = 0;  // +80
  uint32_t directory_position = 0;  // +84
  uint32_t reserved88 = 0;       // +88
  uint16_t file_class = 0;       // +92
  uint16_t leaf_limit = 0;       // +94
  uint16_t name_limit = 255;     // +96
  uint16_t status_word = 0;      // +98 bit 0x1 mirror
  uint16_t slash = '/';          // +100
  uint16_t reserved102 = 0;      // +102
  uint32_t saved_value = 0;      // +104
  uint32_t write_count = 0;      // +108
  uint32_t close_time = 0;       // +112
  uint8_t tail[12] = {};         // +116
};

// Writes the 128 bytes of `header` to `out`.
void EncodeFileHeader(const FileHeader& header, uint8_t* out);
// Reads 128 bytes into `header`; never fails (every byte pattern decodes).
void DecodeFileHeader(const uint8_t* in, FileHeader* header);

// What the opening engine brings to the header checks.
struct HeaderOpenLimits {
  uint16_t engine_node_size = 0;
  uint16_t engine_name_limit = 255;
  uint16_t open_mode = 0;        // after the 0x1/0x8 and 0x100 rewrites
  bool maintenance_running = false;  // rebuild or compaction in progress
};

// The header checks of an open, first failure wins, in this order:
// 550 mirror bit (unless mode 0x2000 or 0x8; 0xFFFF reads as 0), 13 file type
// above 2, 13 class above 6 or members in a non-index, 40 node size above the
// engine's, 48 variable mode on a non-variable file, 417 host node size not
// the engine's, 418 member-name limit above the engine's, 43 format id not
// 129, 45 key length 256 or more, 15 compacted without 0x4000, 23 members 32
// or more or a member number above 0, 53 transaction bits unless read-only or
// during maintenance. Returns 0 when the header may be opened.
int CheckHeaderForOpen(const FileHeader& header, const HeaderOpenLimits& limits);

// The member-header check run for every index member: 52 when its key type
// has bit 0x1 or 0x2, else 0.
int CheckMemberHeader(const FileHeader& member);

// Leaf geometry of an index: usable = node size - 18, key bytes =
// (usable / key length - 1) * key length, leaf limit = node size / 4.
void ComputeNodeGeometry(FileHeader* header);

}  // namespace isam
