// Reading and writing the body of "EN!CIDX".
#include "isam/maint/conditions/cond_index_image.h"

#include <cstring>

namespace isam::maint {
namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

uint32_t CondImageSize(uint32_t n) {
  uint64_t size = 2048 - 38;
  while (size < n) size += 2048;
  return static_cast<uint32_t>(size);
}

bool ParseCondImage(const uint8_t* body, std::size_t length, CondImage* out) {
  *out = CondImage{};
  if (body == nullptr || length < 4) return false;
  out->conditions = Get16(body);
  out->further = Get16(body + 2);
  const std::size_t count = static_cast<std::size_t>(out->conditions) + out->further;
  std::size_t at = 4 + 8 * count;
  if (at > length) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* e = body + 4 + 8 * i;
    CondImageEntry entry;
    entry.key = Get16(e);
    entry.text_length = Get16(e + 2);
    entry.word = Get32(e + 4);
    entry.text_at = at;
    at += entry.text_length;
    if (at > length) return false;
    out->entries.push_back(entry);
  }
  out->content = at;
  return true;
}

std::vector<CondEntryText> CondImageTexts(const uint8_t* body, const CondImage& image) {
  std::vector<CondEntryText> list;
  for (const CondImageEntry& e : image.entries) {
    CondEntryText t;
    t.key = e.key;
    t.text_length = e.text_length;
    t.word = e.word;
    const char* s = reinterpret_cast<const char*>(body + e.text_at);
    t.text.assign(s, strnlen(s, e.text_length));
    list.push_back(std::move(t));
  }
  return list;
}

std::vector<uint8_t> BuildCondImage(uint16_t conditions, const std::vector<CondEntryText>& entries,
                                    std::size_t at_least) {
  std::size_t content = 4 + 8 * entries.size();
  for (const CondEntryText& e : entries) content += e.text_length;
  std::size_t size = CondImageSize(static_cast<uint32_t>(content));
  if (size < at_least) size = at_least;
  std::vector<uint8_t> body(size, 0);
  Put16(body.data(), conditions);
  Put16(body.data() + 2, static_cast<uint16_t>(entries.size() - conditions));
  std::size_t at = 4 + 8 * entries.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CondEntryText& e = entries[i];
    uint8_t* p = body.data() + 4 + 8 * i;
    Put16(p, e.key);
    Put16(p + 2, e.text_length);
    Put32(p + 4, e.word);
    const std::size_t n = e.text.size() < e.text_length ? e.text.size() : (e.text_length ? e.text_length - 1u : 0u);
    std::memcpy(body.data() + at, e.text.data(), n);
    at += e.text_length;
  }
  return body;
}

}  // namespace isam::maint
