#include "alarms/mail/base64_coder.h"

#include <array>
#include <cstring>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kSkip = 0xFE;
constexpr unsigned char kPad = 0xFF;

// Made at compile time, so threads decoding at once share a finished table.
constexpr std::array<unsigned char, 256> MakeReverse() {
  std::array<unsigned char, 256> table{};
  for (auto& entry : table) entry = kSkip;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
  table['='] = kPad;
  return table;
}
constexpr std::array<unsigned char, 256> kReverse = MakeReverse();

const unsigned char kEmpty[4] = {0, 0, 0, 0};

}  // namespace

void CBase64Coder::Alloc(std::vector<unsigned char>* buffer, size_t size) {
  if (buffer->size() <= size) buffer->assign((size / 4096 + 1) * 4096, 0);
  else std::memset(buffer->data(), 0, buffer->size());
}

const unsigned char* CBase64Coder::GetDecoded() const { return decoded_.empty() ? kEmpty : decoded_.data(); }

const char* CBase64Coder::GetEncoded() const {
  return reinterpret_cast<const char*>(encoded_.empty() ? kEmpty : encoded_.data());
}

void CBase64Coder::Encode(const char* text) {
  if (text) Encode(reinterpret_cast<const unsigned char*>(text), std::strlen(text));
}

void CBase64Coder::Encode(const unsigned char* data, size_t length) {
  Alloc(&decoded_, length);
  if (length) std::memcpy(decoded_.data(), data, length);
  decodedLength_ = length;
  Alloc(&encoded_, 2 * length);
  unsigned char* out = encoded_.data();
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    unsigned v = (unsigned{data[i]} << 16) | (unsigned{data[i + 1]} << 8) | data[i + 2];
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = kAlphabet[(v >> 6) & 63];
    *out++ = kAlphabet[v & 63];
  }
  if (i < length) {
    unsigned v = unsigned{data[i]} << 16;
    if (i + 1 < length) v |= unsigned{data[i + 1]} << 8;
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = i + 1 < length ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  encodedLength_ = static_cast<size_t>(out - encoded_.data());
}

void CBase64Coder::Decode(const char* text) {
  if (text) Decode(reinterpret_cast<const unsigned char*>(text), std::strlen(text));
}

void CBase64Coder::Decode(const unsigned char* data, size_t length) {
  // The filtered input is kept as the encoded text: the alphabet characters
  // up to the padding.
  Alloc(&encoded_, length);
  size_t kept = 0;
  for (size_t i = 0; i < length; ++i) {
    unsigned char v = kReverse[data[i]];
    if (v == kPad) break;
    if (v == kSkip) continue;
    encoded_[kept++] = data[i];
  }
  encodedLength_ = kept;
  Alloc(&decoded_, kept);
  unsigned char* out = decoded_.data();
  unsigned bits = 0;
  int count = 0;
  for (size_t i = 0; i < kept; ++i) {
    bits = (bits << 6) | kReverse[encoded_[i]];
    if (++count == 4) {
      *out++ = static_cast<unsigned char>(bits >> 16);
      *out++ = static_cast<unsigned char>(bits >> 8);
      *out++ = static_cast<unsigned char>(bits);
      bits = 0;
      count = 0;
    }
  }
  // An incomplete group holds whole bytes only for 2 or 3 characters.
  if (count == 2) {
    *out++ = static_cast<unsigned char>(bits >> 4);
  } else if (count == 3) {
    *out++ = static_cast<unsigned char>(bits >> 10);
    *out++ = static_cast<unsigned char>(bits >> 2);
  }
  decodedLength_ = static_cast<size_t>(out - decoded_.data());
}
