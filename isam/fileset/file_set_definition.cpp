// The packed definition a data file keeps of its set ("EN!DEF" kind 0):
// packing a block, reading the stored bytes back, and rebuilding a block
// (with storage of its own) from them.
#include <cstring>
#include <initializer_list>
#include <string>

#include "isam/fileset/file_set.h"
#include "isam/index/key_build.h"
#include "isam/record/resource_definition.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"

namespace isam {
namespace {

void PutText(std::vector<uint8_t>& out, const char* text, std::size_t width) {
  const std::size_t at = out.size();
  out.resize(at + width, 0);
  if (text) std::strncpy(reinterpret_cast<char*>(out.data() + at), text, width - 1);
}

void PutString(std::vector<uint8_t>& out, const char* text) {
  const std::size_t n = std::strlen(text) + 1;
  out.insert(out.end(), text, text + n);
}

// Little-endian 16-bit fields, one after the other.
void Put16s(std::vector<uint8_t>& out, std::initializer_list<int16_t> fields) {
  for (int16_t v : fields) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
  }
}

}  // namespace

std::vector<uint8_t> PackIfil(const IfilBlock& b) {
  std::vector<uint8_t> out;
  // The block itself, its pointers stored as 0.
  out.resize(4, 0);
  Put16s(out, {b.data_file, b.record_length, b.data_extension, b.data_mode, b.index_count, b.index_extension,
               b.index_mode});
  out.resize(36, 0);
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    Put16s(out, {d.key_length, d.key_type, d.duplicates, d.null_rule, d.null_byte, d.segment_count});
    // Presence flags where the pointers were, so the unpacking knows which
    // extras follow.
    for (const void* p : {static_cast<const void*>(d.segments), static_cast<const void*>(d.name),
                          static_cast<const void*>(d.file_name), static_cast<const void*>(d.collation),
                          static_cast<const void*>(d.pad_byte)}) {
      const uint32_t present = p != nullptr ? 1 : 0;
      out.insert(out.end(), {static_cast<uint8_t>(present), 0, 0, 0});
    }
  }
  for (int i = 0; i < b.index_count; ++i)
    for (int s = 0; s < b.indexes[i].segment_count; ++s) {
      const KeySegment& seg = b.indexes[i].segments[s];
      Put16s(out, {seg.offset, seg.length, seg.mode});
    }
  PutString(out, b.name ? b.name : "");
  PutText(out, b.text1, 64);
  PutText(out, b.text2, 64);
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    if (d.name) PutString(out, d.name);
    if (d.file_name) PutString(out, d.file_name);
    if (d.collation)
      for (int c = 0; c < 256; ++c) Put16s(out, {static_cast<int16_t>(d.collation[c])});
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

}  // namespace isam
