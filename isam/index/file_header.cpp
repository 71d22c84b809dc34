#include "isam/index/file_header.h"

#include <cstring>

#include "isam/index/btree_bytes.h"

namespace isam {

void EncodeFileHeader(const FileHeader& h, uint8_t* out) {
  std::memset(out, 0, kFileHeaderSize);
  PutLe32(out + 0, h.physical_end);
  PutLe32(out + 4, h.delete_stack);
  PutLe32(out + 8, h.logical_end);
  PutLe32(out + 12, h.first_resource);
  PutLe32(out + 16, h.members_created);
  PutLe32(out + 20, h.serial_counter);
  PutLe32(out + 24, h.active_count);
  PutLe32(out + 28, h.root);
  PutLe32(out + 32, h.reserved32);
  PutLe32(out + 36, h.reserved36);
  PutLe16(out + 40, h.format_id);
  PutLe16(out + 42, h.node_size);
  PutLe16(out + 44, h.record_length);
  PutLe16(out + 46, h.extension_size);
  PutLe16(out + 48, h.open_mode);
  PutLe16(out + 50, h.kept_mode);
  PutLe16(out + 52, h.key_bytes);
  PutLe16(out + 54, h.node_usable);
  out[56] = h.rebuild_status;
  out[57] = h.key_type;
  out[58] = h.duplicates;
  out[59] = h.variant;
  out[60] = static_cast<uint8_t>(h.padding);  // one byte: +61 is the platform byte
  out[61] = h.platform2;
  out[62] = h.platform8;
  out[63] = h.platform4;
  PutLe16(out + 64, h.file_type);
  PutLe16(out + 66, h.key_length);
  PutLe16(out + 68, h.member_count);
  PutLe16(out + 70, h.member_number);
  PutLe32(out + 72, h.reserved72);
  PutLe16(out + 76, h.superfile_member);
  PutLe16(out + 78, h.reserved78);
  PutLe32(out + 80, h.header_position);
  PutLe32(out + 84, h.directory_position);
  PutLe32(out + 88, h.reserved88);
  PutLe16(out + 92, h.file_class);
  PutLe16(out + 94, h.leaf_limit);
  PutLe16(out + 96, h.name_limit);
  PutLe16(out + 98, h.status_word);
  PutLe16(out + 100, h.slash);
  PutLe16(out + 102, h.reserved102);
  PutLe32(out + 104, h.saved_value);
  PutLe32(out + 108, h.write_count);
  PutLe32(out + 112, h.close_time);
  std::memcpy(out + 116, h.tail, sizeof h.tail);
}

void DecodeFileHeader(const uint8_t* in, FileHeader* h) {
  h->physical_end = GetLe32(in + 0);
  h->delete_stack = GetLe32(in + 4);
  h->logical_end = GetLe32(in + 8);
  h->first_resource = GetLe32(in + 12);
  h->members_created = GetLe32(in + 16);
  h->serial_counter = GetLe32(in + 20);
  h->active_count = GetLe32(in + 24);
  h->root = GetLe32(in + 28);
  h->reserved32 = GetLe32(in + 32);
  h->reserved36 = GetLe32(in + 36);
  h->format_id = GetLe16(in + 40);
  h->node_size = GetLe16(in + 42);
  h->record_length = GetLe16(in + 44);
  h->extension_size = GetLe16(in + 46);
  h->open_mode = GetLe16(in + 48);
  h->kept_mode = GetLe16(in + 50);
  h->key_bytes = GetLe16(in + 52);
  h->node_usable = GetLe16(in + 54);
  h->rebuild_status = in[56];
  h->key_type = in[57];
  h->duplicates = in[58];
  h->variant = in[59];
  h->padding = in[60];
  h->platform2 = in[61];
  h->platform8 = in[62];
  h->platform4 = in[63];
  h->file_type = GetLe16(in + 64);
  h->key_length = GetLe16(in + 66);
  h->member_count = GetLe16(in + 68);
  h->member_number = GetLe16(in + 70);
  h->reserved72 = GetLe32(in + 72);
  h->superfile_member = GetLe16(in + 76);
  h->reserved78 = GetLe16(in + 78);
  h->header_position = GetLe32(in + 80);
  h->directory_position = GetLe32(in + 84);
  h->reserved88 = GetLe32(in + 88);
  h->file_class = GetLe16(in + 92);
  h->leaf_limit = GetLe16(in + 94);
  h->name_limit = GetLe16(in + 96);
  h->status_word = GetLe16(in + 98);
  h->slash = GetLe16(in + 100);
  h->reserved102 = GetLe16(in + 102);
  h->saved_value = GetLe32(in + 104);
  h->write_count = GetLe32(in + 108);
  h->close_time = GetLe32(in + 112);
  std::memcpy(h->tail, in + 116, sizeof h->tail);
}

int CheckHeaderForOpen(const FileHeader& h, const HeaderOpenLimits& lim) {
  const uint16_t status = h.status_word == 0xFFFF ? 0 : h.status_word;
  if ((status & 0x1) && !(lim.open_mode & (kModeIgnoreMirror | kModeReadOnly))) return 550;
  if (h.file_type > kFileTypeVariable) return 13;
  if (h.file_class > 6 || (h.member_count != 0 && h.file_type != kFileTypeIndex)) return 13;
  if (h.node_size > lim.engine_node_size) return 40;
  if ((lim.open_mode & kModeVariable) && h.file_type != kFileTypeVariable) return 48;
  if (h.file_class == kClassSuperHost && h.node_size != lim.engine_node_size) return 417;
  if ((h.file_class == kClassSuperHost || h.file_class == kClassSuperMember) &&
      h.name_limit > lim.engine_name_limit)
    return 418;
  if (h.format_id != kFileFormatId) return 43;
  if (h.key_length >= 256) return 45;
  if (h.rebuild_status == kRebuildCompacted && !(lim.open_mode & kModeIgnoreRebuild)) return 15;
  if (h.member_count >= 32 || h.member_number > 0) return 23;
  if ((h.kept_mode & (kModeTransaction | kModeTransaction2)) &&
      !(lim.open_mode & kModeReadOnly) && !lim.maintenance_running)
    return 53;
  return 0;
}

int CheckMemberHeader(const FileHeader& member) {
  return (member.key_type & 0x3) ? 52 : 0;
}

void ComputeNodeGeometry(FileHeader* h) {
  const int usable = h->node_size - 18;
  h->node_usable = static_cast<uint16_t>(usable > 0 ? usable : 0);
  if (h->key_length > 0 && usable > 0) {
    const int per = usable / h->key_length - 1;
    h->key_bytes = static_cast<uint16_t>(per > 0 ? per * h->key_length : 0);
  } else {
    h->key_bytes = 0;
  }
  h->leaf_limit = static_cast<uint16_t>(h->node_size / 4);
}

}  // namespace isam
