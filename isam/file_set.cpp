#include "isam/file_set.h"

#include <cstring>
#include <string>

#include "isam/btree_bytes.h"
#include "isam/engine_instance.h"
#include "isam/file_close.h"
#include "isam/file_control_block.h"
#include "isam/file_create.h"
#include "isam/file_open.h"
#include "isam/isam_record_tables.h"
#include "isam/maint_stubs.h"
#include "isam/os_file_layer.h"
#include "isam/record_lock.h"
#include "isam/resource_definition.h"
#include "isam/superfile_member.h"
#include "isam/superfile_member_ops.h"

namespace isam {
namespace {

constexpr uint16_t kNoExtensionMode = 0x200;

// One index file of the set: its first key number and member count.
struct IndexFile {
  int first_index = 0;  // position in the definition array
  int members = 0;      // additional members
  std::string name;
};

std::vector<IndexFile> GroupIndexFiles(const IfilBlock& b) {
  std::vector<IndexFile> files;
  for (int i = 0; i < b.index_count; ++i) {
    if (i == 0 || b.indexes[i].file_name != nullptr) {
      IndexFile f;
      f.first_index = i;
      files.push_back(f);
    } else {
      ++files.back().members;
    }
  }
  return files;
}

std::string WithExtension(const IfilBlock& b, const char* extension) {
  std::string name = b.name ? b.name : "";
  if (!(static_cast<uint16_t>(b.data_mode) & kNoExtensionMode) && extension && extension[0] != '\0') {
    bool blank = true;
    for (const char* p = extension; *p; ++p) blank = blank && *p == ' ';
    if (!blank) name += extension;
  }
  return name.size() >= 256 ? std::string() : name;
}

std::string IndexFileName(const IfilBlock& b, const IndexFile& f) {
  const char* own = b.indexes[f.first_index].file_name;
  if (own != nullptr && f.first_index > 0) return std::strlen(own) >= 256 ? std::string() : own;
  if (own != nullptr && own[0] != '\0') return std::strlen(own) >= 256 ? std::string() : own;
  EngineInstance* inst = CurrentInstance();
  return WithExtension(b, inst->index_extension);
}

int CheckDefinitions(const IfilBlock& b) {
  if (b.index_count < 0 || b.index_count > kMaxFileSetIndexes) return 107;
  if (b.index_count > 0 && b.indexes == nullptr) return 33;
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    if (d.segment_count < 0 || d.segment_count > kMaxKeySegments) return 109;
    int sum = 0;
    for (int s = 0; s < d.segment_count; ++s) sum += d.segments[s].length;
    if (sum != d.key_length - (d.duplicates ? 4 : 0)) return 115;
  }
  return 0;
}

int FirstNumber(const IfilBlock& b) {
  const int count = b.index_count + 1;
  if (b.data_file < 0) return FindFreeFileNumbers(count);
  for (int n = b.data_file; n < b.data_file + count; ++n)
    if (int state = FileNumberState(n)) return SetEngineError(state), -1;
  return b.data_file;
}

// Fills the ISAM rows of the set whose data file is n.
int SetupIsamIndexes(const IfilBlock& b, int n) {
  IsamTables* t = CurrentIsamTables();
  if (t == nullptr) return 47;
  IsamFileRow& row = t->File(n);
  row = IsamFileRow{};
  row.is_data = true;
  if (b.text1) row.text1 = b.text1;
  if (b.text2) row.text2 = b.text2;
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    const int k = n + 1 + i;
    IsamKeyRow& kr = t->Key(k);
    kr = IsamKeyRow{};
    kr.def.data_file = static_cast<int16_t>(n);
    kr.def.flags = static_cast<uint16_t>(d.null_rule & kKeyNullRuleMask);
    if (CondIndexHasCondition(static_cast<int16_t>(n), static_cast<uint16_t>(k))) kr.def.flags |= kKeyOwnCondition;
    kr.def.null_byte = static_cast<uint8_t>(d.null_byte);
    kr.def.key_length = static_cast<uint16_t>(d.key_length);
    kr.def.duplicates = d.duplicates != 0;
    for (int s = 0; s < d.segment_count; ++s) {
      kr.def.segments[s] = d.segments[s];
      const int base = SegmentBaseMode(d.segments[s].mode);
      if (base == 3) row.serial_offset = d.segments[s].offset;
      if (base == 4 || base == 5) kr.partial_allowed = true;
    }
    if (d.pad_byte) kr.pad = *d.pad_byte;
    if (d.name) kr.name = d.name;
    row.keys.push_back(static_cast<int16_t>(k));
  }
  return 0;
}

void PutText(std::vector<uint8_t>& out, const char* text, std::size_t width) {
  const std::size_t at = out.size();
  out.resize(at + width, 0);
  if (text) std::strncpy(reinterpret_cast<char*>(out.data() + at), text, width - 1);
}

void PutString(std::vector<uint8_t>& out, const char* text) {
  const std::size_t n = std::strlen(text) + 1;
  out.insert(out.end(), text, text + n);
}

void Put16(std::vector<uint8_t>& out, int16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
}

void ForgetSet(int n, int count) {
  for (int k = n; k < n + count; ++k) {
    ForgetFileLocks(k);
    ForgetIsamFile(k);
  }
}

}  // namespace

void BuildFileSetNames(const IfilBlock& b, int which, char* out, int size) {
  EngineInstance* inst = CurrentInstance();
  std::string name;
  if (which == 0) {
    name = WithExtension(b, inst->data_extension);
  } else {
    const auto files = GroupIndexFiles(b);
    if (!files.empty()) name = IndexFileName(b, files[0]);
  }
  std::strncpy(out, name.c_str(), static_cast<std::size_t>(size) - 1);
  out[size - 1] = '\0';
}

std::vector<uint8_t> PackIfil(const IfilBlock& b) {
  std::vector<uint8_t> out;
  // The block itself, its pointers stored as 0.
  out.resize(4, 0);
  Put16(out, b.data_file);
  Put16(out, b.record_length);
  Put16(out, b.data_extension);
  Put16(out, b.data_mode);
  Put16(out, b.index_count);
  Put16(out, b.index_extension);
  Put16(out, b.index_mode);
  out.resize(36, 0);
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    Put16(out, d.key_length);
    Put16(out, d.key_type);
    Put16(out, d.duplicates);
    Put16(out, d.null_rule);
    Put16(out, d.null_byte);
    Put16(out, d.segment_count);
    // Presence flags where the pointers were, so the unpacking knows which
    // extras follow.
    for (const void* p : {static_cast<const void*>(d.segments), static_cast<const void*>(d.name),
                          static_cast<const void*>(d.file_name), static_cast<const void*>(d.collation),
                          static_cast<const void*>(d.pad_byte)}) {
      const uint32_t present = p != nullptr ? 1 : 0;
      out.insert(out.end(), {static_cast<uint8_t>(present), 0, 0, 0});
    }
    out.resize(out.size() + 0, 0);
  }
  for (int i = 0; i < b.index_count; ++i)
    for (int s = 0; s < b.indexes[i].segment_count; ++s) {
      Put16(out, b.indexes[i].segments[s].offset);
      Put16(out, b.indexes[i].segments[s].length);
      Put16(out, b.indexes[i].segments[s].mode);
    }
  PutString(out, b.name ? b.name : "");
  PutText(out, b.text1, 64);
  PutText(out, b.text2, 64);
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    if (d.name) PutString(out, d.name);
    if (d.file_name) PutString(out, d.file_name);
    if (d.collation)
      for (int c = 0; c < 256; ++c) Put16(out, static_cast<int16_t>(d.collation[c]));
    if (d.pad_byte) out.insert(out.end(), {*d.pad_byte, 0, 0, 0});
  }
  EngineInstance* inst = CurrentInstance();
  PutText(out, inst ? inst->data_extension : ".dat", 8);
  PutText(out, inst ? inst->index_extension : ".idx", 8);
  return out;
}

int GetStoredIfilBytes(int data_file, std::vector<uint8_t>* out) {
  return GetDefinitionResource(data_file, 0, out);
}

int UnpackIfil(const std::vector<uint8_t>& packed, StoredFileSet* out) {
  *out = StoredFileSet{};
  std::size_t at = 0;
  bool ok = true;
  auto need = [&](std::size_t n) {
    if (at + n > packed.size()) ok = false;
    return ok;
  };
  auto get16 = [&](std::size_t offset) { return static_cast<int16_t>(GetLe16(packed.data() + offset)); };
  auto string_at = [&]() {
    std::string text;
    while (ok && need(1) && packed[at] != 0) text.push_back(static_cast<char>(packed[at++]));
    if (ok) ++at;
    return text;
  };
  if (!need(36)) return 198;
  IfilBlock& b = out->block;
  b.record_length = get16(6);
  b.data_extension = get16(8);
  b.data_mode = get16(10);
  b.index_count = get16(12);
  b.index_extension = get16(14);
  b.index_mode = get16(16);
  at = 36;
  if (b.index_count < 0 || b.index_count > kMaxFileSetIndexes) return 198;
  struct Present {
    bool segments, name, file_name, collation, pad;
  };
  std::vector<Present> present(static_cast<std::size_t>(b.index_count));
  out->indexes.resize(static_cast<std::size_t>(b.index_count));
  for (int i = 0; i < b.index_count; ++i) {
    if (!need(32)) return 198;
    IndexDefinition& d = out->indexes[static_cast<std::size_t>(i)];
    d.key_length = get16(at);
    d.key_type = get16(at + 2);
    d.duplicates = get16(at + 4);
    d.null_rule = get16(at + 6);
    d.null_byte = get16(at + 8);
    d.segment_count = get16(at + 10);
    if (d.segment_count < 0 || d.segment_count > kMaxKeySegments) return 198;
    Present& p = present[static_cast<std::size_t>(i)];
    p.segments = packed[at + 12] != 0;
    p.name = packed[at + 16] != 0;
    p.file_name = packed[at + 20] != 0;
    p.collation = packed[at + 24] != 0;
    p.pad = packed[at + 28] != 0;
    at += 32;
  }
  out->segments.resize(static_cast<std::size_t>(b.index_count));
  for (int i = 0; i < b.index_count; ++i) {
    auto& segs = out->segments[static_cast<std::size_t>(i)];
    for (int s = 0; s < out->indexes[static_cast<std::size_t>(i)].segment_count; ++s) {
      if (!need(6)) return 198;
      segs.push_back(KeySegment{get16(at), get16(at + 2), get16(at + 4)});
      at += 6;
    }
  }
  out->texts.reserve(3 + 2 * static_cast<std::size_t>(b.index_count));
  out->texts.push_back(string_at());
  for (int t = 0; t < 2; ++t) {
    if (!need(64)) return 198;
    out->texts.emplace_back(reinterpret_cast<const char*>(packed.data() + at));
    at += 64;
  }
  std::vector<int> name_index(static_cast<std::size_t>(b.index_count), -1), file_index(name_index);
  std::vector<int> collation_index(name_index), pad_index(name_index);
  for (int i = 0; i < b.index_count && ok; ++i) {
    const Present& p = present[static_cast<std::size_t>(i)];
    if (p.name) {
      name_index[static_cast<std::size_t>(i)] = static_cast<int>(out->texts.size());
      out->texts.push_back(string_at());
    }
    if (p.file_name) {
      file_index[static_cast<std::size_t>(i)] = static_cast<int>(out->texts.size());
      out->texts.push_back(string_at());
    }
    if (p.collation) {
      if (!need(512)) return 198;
      std::vector<uint16_t> table(256);
      for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = GetLe16(packed.data() + at + 2 * c);
      at += 512;
      collation_index[static_cast<std::size_t>(i)] = static_cast<int>(out->collations.size());
      out->collations.push_back(std::move(table));
    }
    if (p.pad) {
      if (!need(4)) return 198;
      pad_index[static_cast<std::size_t>(i)] = static_cast<int>(out->pads.size());
      out->pads.push_back(packed[at]);
      at += 4;
    }
  }
  if (!ok || !need(16)) return 198;
  out->data_extension = reinterpret_cast<const char*>(packed.data() + at);
  out->index_extension = reinterpret_cast<const char*>(packed.data() + at + 8);
  out->pads.reserve(out->pads.size());
  // Every vector is complete: the pointers can be set now.
  for (int i = 0; i < b.index_count; ++i) {
    const std::size_t u = static_cast<std::size_t>(i);
    IndexDefinition& d = out->indexes[u];
    d.segments = out->segments[u].empty() ? nullptr : out->segments[u].data();
    d.name = name_index[u] >= 0 ? out->texts[static_cast<std::size_t>(name_index[u])].c_str() : nullptr;
    d.file_name = file_index[u] >= 0 ? out->texts[static_cast<std::size_t>(file_index[u])].c_str() : nullptr;
    d.collation = collation_index[u] >= 0 ? out->collations[static_cast<std::size_t>(collation_index[u])].data() : nullptr;
    d.pad_byte = pad_index[u] >= 0 ? &out->pads[static_cast<std::size_t>(pad_index[u])] : nullptr;
  }
  b.name = out->texts[0].c_str();
  b.text1 = out->texts[1].empty() ? nullptr : out->texts[1].c_str();
  b.text2 = out->texts[2].empty() ? nullptr : out->texts[2].c_str();
  b.indexes = out->indexes.empty() ? nullptr : out->indexes.data();
  b.data_file = -1;
  b.assigned = -1;
  return 0;
}

int CreateFileSetFromIfil(IfilBlock* b) {
  if (b == nullptr || b->name == nullptr) return SetIsamError(33, 0);
  b->assigned = -1;
  if (int rc = CheckDefinitions(*b)) return SetIsamError(rc, 0);
  const int n = FirstNumber(*b);
  if (n < 0) return SetIsamError(46, 0);
  const std::string data_name = WithExtension(*b, CurrentInstance()->data_extension);
  if (data_name.empty()) return SetIsamError(17, n);
  std::vector<std::pair<int, std::string>> made;
  auto fail = [&](int rc, int file) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      if (IsMemberName(it->second.c_str())) {  // a member leaves its host's directory too
        DeleteMemberFile(it->first);
        continue;
      }
      CloseFileEntry(it->first);
      OsDeleteFile(it->second.c_str());
    }
    ForgetSet(n, b->index_count + 1);
    b->assigned = -1;
    return SetIsamError(rc, file);
  };
  int rc = CreateDataFile(n, data_name.c_str(), b->record_length, static_cast<uint16_t>(b->data_extension),
                          static_cast<uint16_t>(b->data_mode));
  if (rc != 0) return fail(rc, n);
  made.emplace_back(n, data_name);
  for (const IndexFile& f : GroupIndexFiles(*b)) {
    const IndexDefinition& d = b->indexes[f.first_index];
    const int k = n + 1 + f.first_index;
    const std::string name = IndexFileName(*b, f);
    if (name.empty()) return fail(17, k);
    rc = CreateIndexFile(k, name.c_str(), d.key_length, d.key_type, d.duplicates, f.members,
                         static_cast<uint16_t>(b->index_extension), static_cast<uint16_t>(b->index_mode));
    if (rc != 0) return fail(rc, k);
    made.emplace_back(k, name);
    FileControlBlock* index = CheckFileNumber(k);
    if (d.pad_byte && index) {
      index->header.padding = *d.pad_byte;
      index->layout.pad = *d.pad_byte;
    }
    for (int m = 1; m <= f.members; ++m) {
      const IndexDefinition& md = b->indexes[f.first_index + m];
      if ((rc = AddIndexMember(k, md.key_length, md.key_type, md.duplicates, m)) != 0) return fail(rc, k + m);
      if (md.pad_byte) {
        if (FileControlBlock* member = CheckFileNumber(k + m)) {
          member->header.padding = *md.pad_byte;
          member->layout.pad = *md.pad_byte;
        }
      }
    }
    if (index && d.pad_byte) {
      if ((rc = WriteFileHeader(index)) != 0) return fail(rc, k);
    }
  }
  if ((rc = SetupIsamIndexes(*b, n)) != 0) return fail(rc, n);
  const std::vector<uint8_t> packed = PackIfil(*b);
  rc = PutDefinitionResource(n, packed.data(), static_cast<uint32_t>(packed.size()), 0, 0,
                             kDefinitionNumberData, true);
  if (rc != 0) return fail(rc, n);
  b->assigned = static_cast<int16_t>(n);
  return SetIsamError(0, n);
}

int OpenFileSetFromIfil(IfilBlock* b) {
  if (b == nullptr || b->name == nullptr) return SetIsamError(33, 0);
  b->assigned = -1;
  if (b->index_count < 0 || b->index_count > kMaxFileSetIndexes) return SetIsamError(107, 0);
  const int n = FirstNumber(*b);
  if (n < 0) return SetIsamError(46, 0);
  const std::string data_name = WithExtension(*b, CurrentInstance()->data_extension);
  std::vector<int> opened;
  auto fail = [&](int rc, int file) {
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) CloseFileEntry(*it);
    ForgetSet(n, b->index_count + 1);
    return SetIsamError(rc, file);
  };
  int rc = OpenFileEntry(n, data_name.c_str(), static_cast<uint16_t>(b->data_mode));
  if (rc != 0) return fail(rc, n);
  opened.push_back(n);
  FileControlBlock* data = CheckFileNumber(n);
  if (data && (data->header.open_mode & kModeReadOnly)) b->data_mode = static_cast<int16_t>(b->data_mode | 0x04);
  for (const IndexFile& f : GroupIndexFiles(*b)) {
    const int k = n + 1 + f.first_index;
    const std::string name = IndexFileName(*b, f);
    if ((rc = OpenFileEntry(k, name.c_str(), static_cast<uint16_t>(b->index_mode))) != 0) return fail(rc, k);
    opened.push_back(k);
    FileControlBlock* index = CheckFileNumber(k);
    if (index == nullptr) return fail(26, k);
    if (index->header.member_count != f.members) return fail(124, k);
    for (int m = 0; m <= f.members; ++m) {
      const IndexDefinition& d = b->indexes[f.first_index + m];
      FileControlBlock* member = CheckFileNumber(k + m);
      if (member == nullptr) return fail(26, k + m);
      if (member->header.key_length != d.key_length || (member->header.duplicates != 0) != (d.duplicates != 0))
        return fail(608, k + m);
    }
  }
  if ((rc = CheckDefinitions(*b)) != 0) return fail(rc, n);
  if ((rc = SetupIsamIndexes(*b, n)) != 0) return fail(rc, n);
  b->assigned = static_cast<int16_t>(n);
  return SetIsamError(0, n);
}

int CloseFileSet(IfilBlock* b) {
  if (b == nullptr) return SetIsamError(33, 0);
  const int n = b->assigned;
  if (n < 0) return SetIsamError(26, 0);
  int first = 0;
  for (const IndexFile& f : GroupIndexFiles(*b)) {
    const int rc = CloseFileEntry(n + 1 + f.first_index);
    if (first == 0) first = rc;
  }
  const int rc = CloseFileEntry(n);
  if (first == 0) first = rc;
  ForgetSet(n, b->index_count + 1);
  b->assigned = -1;
  return SetIsamError(first, n);
}

}  // namespace isam
