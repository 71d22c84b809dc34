#include "isam/index/key_build.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/key_compare.h"

namespace isam {
namespace {

std::vector<uint8_t> Stored(int mode, const void* value, std::size_t n) {
  std::vector<uint8_t> b(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + n);
  EXPECT_EQ(TransformSegment(mode, b.data(), n, ' ', nullptr), 0);
  return b;
}

template <typename T>
std::vector<uint8_t> StoredLe(int mode, T v) {
  uint8_t raw[sizeof(T)];
  std::memcpy(raw, &v, sizeof(T));  // the test host is little-endian, as the record is
  return Stored(mode, raw, sizeof(T));
}

bool Less(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  return KeyCompare(a.data(), b.data(), a.size()) < 0;
}

TEST(KeyCompare, MagnitudeIsFirstDifferingPositionPlusOne) {
  const uint8_t a[] = {1, 2, 3, 4};
  const uint8_t b[] = {1, 2, 9, 0};
  EXPECT_EQ(KeyCompare(a, b, 4), -3);
  EXPECT_EQ(KeyCompare(b, a, 4), 3);
  EXPECT_EQ(KeyCompare(a, a, 4), 0);
  const uint8_t hi[] = {0xFF};
  const uint8_t lo[] = {0x01};
  EXPECT_GT(KeyCompare(hi, lo, 1), 0);  // unsigned bytes
}

TEST(SegmentOrder, UnsignedMode1Puts256After255) {
  EXPECT_TRUE(Less(StoredLe<uint16_t>(1, 255), StoredLe<uint16_t>(1, 256)));
  EXPECT_TRUE(Less(StoredLe<uint32_t>(3, 0x00FFFFFF), StoredLe<uint32_t>(3, 0x01000000)));
}

TEST(SegmentOrder, SignedMode8) {
  EXPECT_TRUE(Less(StoredLe<int32_t>(8, -1), StoredLe<int32_t>(8, 0)));
  EXPECT_TRUE(Less(StoredLe<int32_t>(8, 0), StoredLe<int32_t>(8, 1)));
  EXPECT_TRUE(Less(StoredLe<int32_t>(8, -2000000000), StoredLe<int32_t>(8, -1)));
  EXPECT_TRUE(Less(StoredLe<int16_t>(8, 32767), StoredLe<int16_t>(8, 300)) == false);
}

TEST(SegmentOrder, FloatMode9InvertsNegativesOnce) {
  const double values[] = {-1e300, -2.5, -1.0, -0.001, 0.0, 1e-9, 1.5, 2.0, 1e300};
  for (std::size_t i = 0; i + 1 < sizeof values / sizeof values[0]; ++i)
    EXPECT_TRUE(Less(StoredLe<double>(9, values[i]), StoredLe<double>(9, values[i + 1])))
        << values[i] << " vs " << values[i + 1];
  EXPECT_TRUE(Less(StoredLe<float>(9, -2.5f), StoredLe<float>(9, -1.0f)));
  // Descending flips the whole order, negatives included.
  EXPECT_TRUE(Less(StoredLe<double>(9 | kSegDescending, 1.5), StoredLe<double>(9 | kSegDescending, -2.5)));
  EXPECT_TRUE(Less(StoredLe<double>(9 | kSegDescending, -1.0), StoredLe<double>(9 | kSegDescending, -2.5)));
}

TEST(SegmentOrder, TextMode2IgnoresCase) {
  EXPECT_EQ(Stored(2, "smith", 5), Stored(2, "SMITH", 5));
  EXPECT_TRUE(Less(Stored(2, "abc", 3), Stored(2, "ABD", 3)));
}

TEST(SegmentOrder, PackedDecimalMode6) {
  const uint8_t small[] = {0x05, 0x12};
  std::vector<uint8_t> s = Stored(6, small, 2);
  EXPECT_EQ(s[0], 0xF5);
  EXPECT_EQ(s[1], 0x12);
  const uint8_t big[] = {0x20, 0x10};
  std::vector<uint8_t> b = Stored(6, big, 2);
  EXPECT_EQ(b[0], (153 - 0x20) & 0x0F);
  EXPECT_EQ(b[1], 153 - 0x10);
}

TEST(SegmentOrder, DecimalMode10NormalisesMantissa) {
  // 10-byte decimal: sign, exponent, mantissa least significant byte first.
  uint8_t one[10] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0x10};   // 0.1 x 10^1
  uint8_t same[10] = {0, 2, 0, 0, 0, 0, 0, 0, 0, 0x01};  // same value, unnormalised
  EXPECT_EQ(Stored(10, one, 10), Stored(10, same, 10));
  uint8_t two[10] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0x20};
  EXPECT_TRUE(Less(Stored(10, one, 10), Stored(10, two, 10)));
}

// Decimal d x 10^e with the digit d in the mantissa's top nibble.
std::vector<uint8_t> Decimal(bool negative, int exponent, uint8_t top_byte) {
  std::vector<uint8_t> v(10, 0);
  v[0] = negative ? 1 : 0;
  v[1] = static_cast<uint8_t>(static_cast<int8_t>(exponent));
  v[9] = top_byte;
  return Stored(10, v.data(), 10);
}

TEST(SegmentOrder, DecimalMode10OrdersNegativesAndZero) {
  // -200 < -100 < -1 < -0.001 < 0 < 0.001 < 1 < 100: a larger negative
  // magnitude sorts lower, and zero (any exponent, either sign) sits
  // between the negatives and the smallest positive.
  const std::vector<std::vector<uint8_t>> ordered = {
      Decimal(true, 3, 0x20), Decimal(true, 3, 0x10), Decimal(true, 1, 0x10), Decimal(true, -2, 0x10),
      Decimal(false, 0, 0x00), Decimal(false, -2, 0x10), Decimal(false, 1, 0x10), Decimal(false, 3, 0x10)};
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) EXPECT_TRUE(Less(ordered[i], ordered[i + 1])) << i;
  EXPECT_EQ(Decimal(false, 7, 0x00), Decimal(false, -5, 0x00));
  EXPECT_EQ(Decimal(true, 7, 0x00), Decimal(false, 0, 0x00));
}

TEST(SegmentFlags, RightAnchoredReversesSignificantBytes) {
  std::vector<uint8_t> s = Stored(kSegRightAnchored, "ab  ", 4);
  EXPECT_EQ(std::string(s.begin(), s.end()), "ba  ");
}

TEST(SegmentFlags, AlternateCollationUsesLowByte) {
  uint16_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint16_t>(0x1200 | (255 - i));
  uint8_t b[] = {0, 10};
  ASSERT_EQ(TransformSegment(kSegAltCollation, b, 2, ' ', table), 0);
  EXPECT_EQ(b[0], 255);
  EXPECT_EQ(b[1], 245);
}

TEST(SegmentModes, UnknownModeIs446) {
  uint8_t b[2] = {};
  EXPECT_EQ(TransformSegment(11, b, 2, ' ', nullptr), 446);
  // Only 0x10F of a mode names its transform: 0x100 makes it unknown, 0x80
  // is ignored.
  EXPECT_EQ(TransformSegment(0x101, b, 2, ' ', nullptr), 446);
  EXPECT_EQ(SegmentToValueForm(0x101, b, 2, ' '), 446);
  uint8_t c[2] = {1, 2};
  ASSERT_EQ(TransformSegment(0x81, c, 2, ' ', nullptr), 0);
  EXPECT_EQ(c[0], 2);
}

KeyDefinition OneSegment(int16_t offset, int16_t length, int16_t mode) {
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = static_cast<uint16_t>(length);
  k.segments[0] = {offset, length, mode};
  return k;
}

TEST(KeyToValueForm, RoundTripsNumericModes) {
  struct Case {
    int mode;
    std::vector<uint8_t> value;
  };
  double neg = -2.5, pos = 1.5;
  int32_t m1 = -1;
  std::vector<Case> cases = {
      {1, {0x34, 0x12}},
      {3, {1, 2, 3, 4}},
      {8, {0xFF, 0xFF, 0xFF, 0xFF}},
      {8, {5, 0, 0, 0}},
      {9, std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&neg), reinterpret_cast<uint8_t*>(&neg) + 8)},
      {9, std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&pos), reinterpret_cast<uint8_t*>(&pos) + 8)},
      {8, std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&m1), reinterpret_cast<uint8_t*>(&m1) + 4)},
      {10, {1, 3, 0x21, 0x43, 0x65, 0, 0, 0, 0, 0x12}},
      {10, {0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0x99}},
      {1 | kSegDescending, {7, 9}},
  };
  for (const Case& c : cases) {
    KeyDefinition k = OneSegment(0, static_cast<int16_t>(c.value.size()), static_cast<int16_t>(c.mode));
    std::vector<uint8_t> key = c.value;
    ASSERT_EQ(TransformTargetKey(k, nullptr, key.data(), 0, false, nullptr), 0);
    ASSERT_EQ(KeyToValueForm(k, nullptr, key.data()), 0);
    EXPECT_EQ(key, c.value) << "mode " << c.mode;
  }
  KeyDefinition k6 = OneSegment(0, 2, 6);
  uint8_t b[2] = {};
  EXPECT_EQ(KeyToValueForm(k6, nullptr, b), 446);
}

TEST(BuildKeyImage, FixedSegmentsConcatenateAndCheckBounds) {
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = 6;
  k.segments[0] = {4, 2, 1};
  k.segments[1] = {0, 4, 2};
  const uint8_t rec[] = {'a', 'b', 'c', 'd', 0x01, 0x02};
  uint8_t out[6];
  KeyBuildResult r = BuildKeyImage(k, nullptr, rec, sizeof rec, nullptr, out);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.length, 6);
  const uint8_t want[] = {0x02, 0x01, 'A', 'B', 'C', 'D'};
  EXPECT_EQ(0, memcmp(out, want, 6));
  r = BuildKeyImage(k, nullptr, rec, 5, nullptr, out);
  EXPECT_EQ(r.error, 445);
}

TEST(BuildKeyImage, NullKeyRuleDropsAllNullKeys) {
  KeyDefinition k = OneSegment(0, 3, 0);
  k.flags = 1;
  k.null_byte = ' ';
  const uint8_t blank[] = {' ', ' ', ' '};
  const uint8_t some[] = {' ', 'x', ' '};
  uint8_t out[3];
  EXPECT_EQ(BuildKeyImage(k, nullptr, blank, 3, nullptr, out).length, 0);
  EXPECT_EQ(BuildKeyImage(k, nullptr, some, 3, nullptr, out).length, 3);
  k.flags = 0;
  EXPECT_EQ(BuildKeyImage(k, nullptr, blank, 3, nullptr, out).length, 3);
}

TEST(BuildKeyImage, NullKeyRuleLooksAtTheRecordBytes) {
  // A signed field of zero bytes is a null key although its stored form is
  // not all zero; a definition longer than its key is refused.
  KeyDefinition k = OneSegment(0, 4, 8);
  k.flags = 1;
  k.null_byte = 0;
  const uint8_t zero[] = {0, 0, 0, 0};
  uint8_t out[4];
  EXPECT_EQ(BuildKeyImage(k, nullptr, zero, 4, nullptr, out).length, 0);
  const uint8_t one[] = {1, 0, 0, 0};
  EXPECT_EQ(BuildKeyImage(k, nullptr, one, 4, nullptr, out).length, 4);
  k.key_length = 2;
  EXPECT_EQ(BuildKeyImage(k, nullptr, one, 4, nullptr, out).error, kErrBadKeyDefinition);
}

TEST(BuildKeyImage, DelimitedFieldsBehindTheFixedPart) {
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = 8;
  k.segments[0] = {0, 2, 0};   // fixed part of 2 bytes
  k.segments[1] = {1, 6, 5};   // second delimited field, upper-cased
  const uint8_t rec[] = {'K', '1', 'o', 'n', 'e', 0, 't', 'w', 'o', 0};
  uint8_t out[8];
  KeyBuildResult r = BuildKeyImage(k, nullptr, rec, sizeof rec, nullptr, out);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 8), "K1TWO   ");
}

TEST(BuildKeyImage, SchemaFieldsAndErrors) {
  // Schema: header (byte 1 alignment 8, delimiter 0, pad ' '), then a 4-byte
  // signed integer (type 64) and a delimited text (146).
  std::vector<uint8_t> schema(16 + 8, 0);
  schema[0] = 2;
  schema[1] = 8;
  schema[3] = ' ';
  schema[8] = 2;   // field count
  schema[12] = 2;  // entry count
  schema[16] = 4; schema[18] = 64;
  schema[20] = 0; schema[22] = 146;
  RecordSchemaView view{schema.data(), schema.size()};
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = 9;
  k.segments[0] = {1, 5, 13};  // the text, upper-cased (class 0 with mode 13)
  k.segments[1] = {0, 4, 12};  // the integer as signed
  const uint8_t rec[] = {0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 0};
  uint8_t out[9];
  KeyBuildResult r = BuildKeyImage(k, &view, rec, sizeof rec, nullptr, out);
  ASSERT_EQ(r.error, 0);
  const uint8_t want[] = {'A', 'B', ' ', ' ', ' ', 0x7F, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(0, memcmp(out, want, 9));
  EXPECT_EQ(BuildKeyImage(k, nullptr, rec, sizeof rec, nullptr, out).error, 199);
  k.segments[0] = {5, 5, 12};
  EXPECT_EQ(BuildKeyImage(k, &view, rec, sizeof rec, nullptr, out).error, 433);
}

// A schema image of (size, type, repeat) entries with the given delimiter.
std::vector<uint8_t> Schema(std::initializer_list<std::array<int, 3>> entries, uint8_t delimiter = 0) {
  std::vector<uint8_t> s(16, 0);
  s[0] = 2;
  s[1] = 8;
  s[2] = delimiter;
  s[3] = ' ';
  uint32_t fields = 0;
  for (const auto& e : entries) {
    s.push_back(static_cast<uint8_t>(e[0]));
    s.push_back(static_cast<uint8_t>(e[0] >> 8));
    s.push_back(static_cast<uint8_t>(e[1]));
    s.push_back(static_cast<uint8_t>(e[2]));
    fields += e[2] == 0 ? 1 : static_cast<uint32_t>(e[2]);
  }
  PutLe32(s.data() + 4, static_cast<uint32_t>(s.size()));
  PutLe32(s.data() + 8, fields);
  PutLe32(s.data() + 12, static_cast<uint32_t>(entries.size()));
  return s;
}

std::string Text(const uint8_t* b, std::size_t n) { return std::string(reinterpret_cast<const char*>(b), n); }

TEST(SchemaKeys, FieldsInFrontAreSteppedOverByTheirTypes) {
  // A byte, an aligned 32-bit integer (3 bytes of padding), two delimited
  // texts as one repeated entry, a 1-byte and a 2-byte length-prefixed text,
  // then the field the key wants.
  const auto schema = Schema({{1, 8, 0}, {4, 0x3B, 0}, {20, 146, 2}, {20, 154, 0}, {20, 162, 0}, {8, 146, 0}},
                             ';');
  const RecordSchemaView view{schema.data(), schema.size()};
  std::vector<uint8_t> rec = {'x', 0, 0, 0, 1, 0, 0, 0};
  for (char c : std::string("one;two;")) rec.push_back(static_cast<uint8_t>(c));
  rec.push_back(3);
  for (char c : std::string("abc")) rec.push_back(static_cast<uint8_t>(c));
  rec.push_back(2);
  rec.push_back(0);
  for (char c : std::string("de")) rec.push_back(static_cast<uint8_t>(c));
  for (char c : std::string("last;")) rec.push_back(static_cast<uint8_t>(c));
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = 24;
  k.segments[0] = {6, 6, 13};  // "last" up to the delimiter, upper-cased, padded
  k.segments[1] = {4, 6, 12};  // "abc" by its 1-byte length
  k.segments[2] = {5, 4, 12};  // "de" by its 2-byte length
  k.segments[3] = {2, 4, 12};  // "one"
  k.segments[4] = {1, 4, 12};  // the integer, reversed (unsigned class)
  uint8_t out[24];
  const KeyBuildResult r = BuildKeyImage(k, &view, rec.data(), rec.size(), nullptr, out);
  ASSERT_EQ(r.error, 0);
  EXPECT_FALSE(r.ended);
  EXPECT_EQ(r.length, 24);
  EXPECT_EQ(Text(out, 20), "LAST  abc   de  one ");
  const uint8_t number[] = {0, 0, 0, 1};
  EXPECT_EQ(0, std::memcmp(out + 20, number, 4));
}

TEST(SchemaKeys, LengthsNeverReachPastTheRecordAndAMissingFieldEndsTheKey) {
  const auto schema = Schema({{4, 0x33, 0}, {50, 154, 0}, {10, 146, 0}});
  const RecordSchemaView view{schema.data(), schema.size()};
  // The 1-byte length says 200 bytes, the record holds 3 of them.
  const uint8_t rec[] = {1, 0, 0, 0, 200, 'a', 'b', 'c'};
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = 6;
  k.segments[0] = {1, 6, 12};
  uint8_t out[16];
  KeyBuildResult r = BuildKeyImage(k, &view, rec, sizeof rec, nullptr, out);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(Text(out, 6), "abc   ");
  // The text behind lies past the end: it and the fixed segment behind it
  // are pad bytes, not the record's first bytes.
  k.key_length = 10;
  k.segments[0] = {2, 6, 12};
  k.segments[1] = {0, 4, 0};
  r = CopyKeyValue(k, &view, rec, sizeof rec, out);
  ASSERT_EQ(r.error, 0);
  EXPECT_TRUE(r.ended);
  EXPECT_EQ(r.length, 10);
  EXPECT_EQ(Text(out, 10), std::string(10, ' '));
  // A record that ends inside a field's alignment padding.
  const auto aligned = Schema({{1, 8, 0}, {8, 0x67, 0}});
  const RecordSchemaView av{aligned.data(), aligned.size()};
  const uint8_t short_rec[] = {7, 0, 0};
  k.key_length = 8;
  k.segments[0] = {1, 8, 12};
  k.segments[1] = KeySegment{};
  r = CopyKeyValue(k, &av, short_rec, sizeof short_rec, out);
  EXPECT_TRUE(r.ended);
}

TEST(SchemaKeys, ValueFormRoundTripsThroughTheTypeClass) {
  const auto schema = Schema({{4, 0x33, 0}, {8, 0x67, 0}, {6, 146, 0}});
  const RecordSchemaView view{schema.data(), schema.size()};
  KeyDefinition k;
  k.data_file = 0;
  k.key_length = 18;
  k.segments[0] = {0, 4, 12};
  k.segments[1] = {1, 8, 12 | kSegDescending};
  k.segments[2] = {2, 6, 12};
  uint8_t value[18];
  const int32_t i = -5;
  const double d = -2.5;
  std::memcpy(value, &i, 4);
  std::memcpy(value + 4, &d, 8);
  std::memcpy(value + 12, "name  ", 6);
  uint8_t key[18];
  std::memcpy(key, value, 18);
  ASSERT_EQ(TransformTargetKey(k, &view, key, 0, false, nullptr), 0);
  EXPECT_NE(0, std::memcmp(key, value, 12));
  ASSERT_EQ(KeyToValueForm(k, &view, key), 0);
  EXPECT_EQ(0, std::memcmp(key, value, 18));
  // Signed order through the schema: -5 sorts below 3.
  uint8_t three[18];
  std::memcpy(three, value, 18);
  const int32_t p = 3;
  std::memcpy(three, &p, 4);
  uint8_t a[18], b[18];
  std::memcpy(a, value, 18);
  std::memcpy(b, three, 18);
  ASSERT_EQ(TransformTargetKey(k, &view, a, 0, false, nullptr), 0);
  ASSERT_EQ(TransformTargetKey(k, &view, b, 0, false, nullptr), 0);
  EXPECT_LT(KeyCompare(a, b, 18), 0);
  // Without the schema a schema segment cannot be resolved either way.
  EXPECT_EQ(KeyToValueForm(k, nullptr, key), 199);
  EXPECT_EQ(TransformTargetKey(k, nullptr, key, 0, false, nullptr), 199);
  k.segments[2] = {3, 6, 12};
  EXPECT_EQ(TransformTargetKey(k, &view, key, 0, false, nullptr), 433);
}

TEST(TransformTargetKey, DuplicateSuffixIsBigEndianPosition) {
  KeyDefinition k = OneSegment(0, 2, 0);
  k.duplicates = true;
  k.key_length = 6;
  uint8_t key[6] = {'a', 'b', 0, 0, 0, 0};
  ASSERT_EQ(TransformTargetKey(k, nullptr, key, 0x01020304, true, nullptr), 0);
  const uint8_t want[] = {'a', 'b', 1, 2, 3, 4};
  EXPECT_EQ(0, memcmp(key, want, 6));
}

}  // namespace
}  // namespace isam
