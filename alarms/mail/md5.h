// The MD5 message digest (RFC 1321) and HMAC-MD5 (RFC 2104), for the
// CRAM-MD5 log-in.
#pragma once

#include <cstddef>
#include <cstdint>

struct MD5Context {
  uint32_t state[4];
  uint32_t count[2];  // bits hashed, low word first
  unsigned char buffer[64];
};

void MD5Init(MD5Context* context);
void MD5Update(MD5Context* context, const unsigned char* data, size_t length);
// Writes the 16-byte digest and clears the whole context.
void MD5Final(unsigned char digest[16], MD5Context* context);

// HMAC with block size 64; a key longer than 64 bytes stands for its digest.
void HmacMd5(const unsigned char* data, size_t dataLength, const unsigned char* key, size_t keyLength,
             unsigned char digest[16]);
