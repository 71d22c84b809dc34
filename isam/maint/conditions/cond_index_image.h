// The stored form of a data file's index conditions: the body of the
// resource "EN!CIDX" (type 0, number 5), behind its 16-byte prefix.
//
// Body, little-endian: u16 condition count C, u16 further count F, C + F
// entries (u16 key number within the data file, u16 text length counting
// the zero, u32 word), then the texts in entry order, then zeros up to the
// body size. Entries and texts are checked against the body before
// anything trusts them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace isam::maint {

constexpr uint32_t kCondResourceType = 0;
constexpr uint32_t kCondResourceNumber = 5;
constexpr char kCondResourceName[] = "EN!CIDX";
constexpr std::size_t kCondPrefixSize = 16;

struct CondImageEntry {
  uint16_t key = 0;
  uint16_t text_length = 0;  // zero included
  uint32_t word = 0;
  std::size_t text_at = 0;   // offset of the text in the body
};

struct CondImage {
  uint16_t conditions = 0;
  uint16_t further = 0;
  std::vector<CondImageEntry> entries;  // conditions first, then further ones
  std::size_t content = 0;              // 4 + sum of (8 + text length)
};

// The smallest 2048k - 38 (k >= 1) not below n: body, prefix and the
// resource's record header then fill whole 2048-byte units.
uint32_t CondImageSize(uint32_t n);

// Reads a body of `length` bytes: false when the counts, entries or texts
// reach past it.
bool ParseCondImage(const uint8_t* body, std::size_t length, CondImage* out);

// A body (sized by CondImageSize) holding these entries and texts; the
// entries' text_length fields are taken as given (a text rewritten in
// place keeps its old, longer length: the rest is zeros).
struct CondEntryText {
  uint16_t key = 0;
  uint16_t text_length = 0;
  uint32_t word = 0;
  std::string text;  // at most text_length - 1 bytes are stored
};
// `at_least`: the body keeps at least that size (edits in place keep the
// old body size).
std::vector<uint8_t> BuildCondImage(uint16_t conditions, const std::vector<CondEntryText>& entries,
                                    std::size_t at_least = 0);

// The entries of a parsed body with their texts.
std::vector<CondEntryText> CondImageTexts(const uint8_t* body, const CondImage& image);

}  // namespace isam::maint
