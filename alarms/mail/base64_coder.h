// CBase64Coder: Base64 with the standard alphabet and '=' padding, for the
// AUTH dialogues and attachments.
//
// One object encodes and decodes. Results stay in the object until the next
// call and are always followed by zero bytes, so they can be used as
// NUL-terminated text. Buffers grow to the next multiple of 4096 strictly
// above the size a call needs, and never shrink.
#pragma once

#include <cstddef>
#include <vector>

class CBase64Coder {
 public:
  // Encodes the bytes of a NUL-terminated text; null does nothing.
  void Encode(const char* text);
  // Encodes length bytes; no line breaks are inserted.
  void Encode(const unsigned char* data, size_t length);

  // Decodes a NUL-terminated text; null does nothing.
  void Decode(const char* text);
  // Decodes length bytes. Bytes outside the alphabet (line breaks, blanks,
  // anything else) are skipped; the first '=' ends the data, and so does an
  // incomplete last group, which yields only its complete bytes ("QQ==" and
  // "QQ" both give "A"). Empty input gives empty output.
  void Decode(const unsigned char* data, size_t length);

  const unsigned char* GetDecoded() const;
  const char* GetEncoded() const;
  size_t GetDecodedLength() const { return decodedLength_; }
  size_t GetEncodedLength() const { return encodedLength_; }

  // The buffers' sizes (a 5000-byte encode makes the encoded one 12288).
  size_t DecodedCapacity() const { return decoded_.size(); }
  size_t EncodedCapacity() const { return encoded_.size(); }

 private:
  static void Alloc(std::vector<unsigned char>* buffer, size_t size);

  std::vector<unsigned char> decoded_;
  std::vector<unsigned char> encoded_;
  size_t decodedLength_ = 0;
  size_t encodedLength_ = 0;
};
