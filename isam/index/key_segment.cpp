#include "isam/index/key_segment.h"

#include <algorithm>
#include <vector>

namespace isam {
namespace {

void Reverse(uint8_t* b, std::size_t n) { std::reverse(b, b + n); }

void Invert(uint8_t* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(~b[i]);
}

void Upper(uint8_t* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (b[i] >= 'a' && b[i] <= 'z') b[i] = static_cast<uint8_t>(b[i] - 'a' + 'A');
}

// Right-anchored text: the significant bytes are reversed in front and the pad
// byte fills behind them, so texts compare from their last character.
void RightAnchor(uint8_t* b, std::size_t n, uint8_t pad) {
  std::size_t used = n;
  while (used > 0 && (b[used - 1] == pad || b[used - 1] == 0)) --used;
  Reverse(b, used);
  std::fill(b + used, b + n, pad);
}

// 10-byte decimal: sign byte, exponent byte, then 16 mantissa digits in 8
// bytes, least significant byte first.
constexpr std::size_t kDecimalSize = 10;

// A negative value keeps its sign byte 0 and has its exponent and mantissa
// inverted, so a larger magnitude sorts further down; a zero mantissa (of
// either sign) is stored as the smallest non-negative value, whatever its
// exponent, so every zero has one stored form just below the positives.
void DecimalToStored(uint8_t* b, std::size_t n) {
  if (n < kDecimalSize) return;
  uint8_t* m = b + 2;
  bool any = false;
  for (int i = 0; i < 8; ++i) any = any || m[i] != 0;
  if (!any) {
    b[0] = 1;
    b[1] = 0;
    return;
  }
  int exponent = b[1];
  // Shift out leading zero digits so equal values have one stored form.
  for (int shifts = 0; shifts < 16 && (m[7] & 0xF0) == 0; ++shifts) {
    for (int i = 7; i > 0; --i) m[i] = static_cast<uint8_t>((m[i] << 4) | (m[i - 1] >> 4));
    m[0] = static_cast<uint8_t>(m[0] << 4);
    --exponent;
  }
  b[0] = b[0] == 0 ? 1 : 0;
  b[1] = static_cast<uint8_t>(static_cast<uint8_t>(exponent) ^ 0x80);
  Reverse(m, 8);
  if (b[0] == 0) Invert(b + 1, kDecimalSize - 1);
}

void DecimalToValue(uint8_t* b, std::size_t n) {
  if (n < kDecimalSize) return;
  if (b[0] == 0) Invert(b + 1, kDecimalSize - 1);
  b[0] = b[0] == 0 ? 1 : 0;
  b[1] = static_cast<uint8_t>(b[1] ^ 0x80);
  Reverse(b + 2, 8);
}

int ApplyBase(int transform, uint8_t* b, std::size_t n) {
  switch (transform) {
    case 0: case 4: case 7:
      return 0;
    case 1: case 3:
      Reverse(b, n);
      return 0;
    case 2: case 5:
      Upper(b, n);
      return 0;
    case 6:
      if (n == 0) return 0;
      if (b[0] < 16) {
        b[0] = static_cast<uint8_t>(b[0] | 0xF0);
      } else {
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(153 - b[i]);
        b[0] = static_cast<uint8_t>(b[0] & 0x0F);
      }
      return 0;
    case 8:
      Reverse(b, n);
      if (n > 0) b[0] ^= 0x80;
      return 0;
    case 9:
      Reverse(b, n);
      if (n == 0) return 0;
      // A negative value is inverted once, here; the descending flag stays the
      // caller's, so -2.5 < -1.0 < 0 < 1.5 in stored order.
      if (b[0] & 0x80) Invert(b, n);
      else b[0] |= 0x80;
      return 0;
    case 10:
      DecimalToStored(b, n);
      return 0;
    default:
      return 446;
  }
}

int UndoBase(int transform, uint8_t* b, std::size_t n) {
  switch (transform) {
    case 0: case 2: case 4: case 5:
      return 0;
    case 1: case 3:
      Reverse(b, n);
      return 0;
    case 8:
      if (n > 0) b[0] ^= 0x80;
      Reverse(b, n);
      return 0;
    case 9:
      if (n > 0) {
        if (b[0] & 0x80) b[0] &= 0x7F;
        else Invert(b, n);
      }
      Reverse(b, n);
      return 0;
    case 10:
      DecimalToValue(b, n);
      return 0;
    default:
      return 446;
  }
}

}  // namespace

int SchemaTypeTransform(int type, int segment_mode) {
  if (type > 170) type = 146;
  int t = 0;
  if (type >= 32 && type < 128) {
    static const int kByClass[12] = {8, 1, 8, 1, 8, 1, 1, 9, 9, 10, 9, 1};
    t = kByClass[(type - 32) / 8];
  }
  const int base = SegmentBaseMode(segment_mode);
  if (t == 0 && (base == 13 || base == 15)) t = 2;
  return t;
}

int TransformSegment(int mode, uint8_t* b, std::size_t n, uint8_t pad,
                     const uint16_t* collation, int schema_transform) {
  const int base = SegmentBaseMode(mode);
  const int transform = base >= 12 ? schema_transform : base;
  if (base == 11 || (mode & kSegUnknownBit)) return 446;
  if (int rc = ApplyBase(transform, b, n)) return rc;
  if (mode & kSegRightAnchored) RightAnchor(b, n, pad);
  if ((mode & kSegAltCollation) && collation != nullptr)
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(collation[b[i]] & 0xFF);
  if (mode & kSegDescending) Invert(b, n);
  return 0;
}

int SegmentToValueForm(int mode, uint8_t* b, std::size_t n, uint8_t pad,
                       int schema_transform) {
  const int base = SegmentBaseMode(mode);
  if (base == 6 || base == 7 || base == 11 || (mode & kSegUnknownBit)) return 446;
  const int transform = base >= 12 ? schema_transform : base;
  if (mode & kSegDescending) Invert(b, n);
  if (mode & kSegRightAnchored) RightAnchor(b, n, pad);
  return UndoBase(transform, b, n);
}

}  // namespace isam
