// Base64, MD5 and HMAC-MD5 against the published vectors.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "alarms/mail/base64_coder.h"
#include "alarms/mail/md5.h"

namespace {

std::string Hex(const unsigned char* d, size_t n) {
  std::string s;
  char b[3];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02x", d[i]);
    s += b;
  }
  return s;
}

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::string Md5(const std::string& s) {
  MD5Context c;
  MD5Init(&c);
  // In two pieces, so the buffering across updates is exercised.
  MD5Update(&c, U(s), s.size() / 3);
  MD5Update(&c, U(s) + s.size() / 3, s.size() - s.size() / 3);
  unsigned char d[16];
  MD5Final(d, &c);
  return Hex(d, 16);
}

std::string Hmac(const std::string& data, const std::string& key) {
  unsigned char d[16];
  HmacMd5(U(data), data.size(), U(key), key.size(), d);
  return Hex(d, 16);
}

std::string Decoded(CBase64Coder& c) {
  return std::string(reinterpret_cast<const char*>(c.GetDecoded()), c.GetDecodedLength());
}

TEST(Md5, Rfc1321Suite) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(Md5(c.first), c.second) << c.first;
}

TEST(HmacMd5, Rfc2202Cases) {
  const std::string k80(80, '\xaa');
  const struct {
    std::string key, data, digest;
  } cases[] = {
      {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
      {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
      {std::string(16, '\xaa'), std::string(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
      {"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19",
       std::string(50, '\xcd'), "697eaf0aca3a3aea3a75164746ffaa79"},
      {std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
      {k80, "Test Using Larger Than Block-Size Key - Hash Key First", "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
      {k80, "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
       "6f630fad67cda0ee1fb1f562db3aa53e"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hmac(c.data, c.key), c.digest) << c.data;

  // A long key stands for its digest.
  MD5Context ctx;
  MD5Init(&ctx);
  MD5Update(&ctx, U(k80), k80.size());
  unsigned char keyDigest[16];
  MD5Final(keyDigest, &ctx);
  EXPECT_EQ(Hmac("x", k80), Hmac("x", std::string(reinterpret_cast<char*>(keyDigest), 16)));
}

TEST(HmacMd5, CramMd5Rfc2195Example) {
  CBase64Coder coder;
  coder.Decode("PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+");
  const std::string challenge = Decoded(coder);
  EXPECT_EQ(challenge, "<1896.697170952@postoffice.reston.mci.net>");
  const std::string answer = "tim " + Hmac(challenge, "tanstaaftanstaaf");
  coder.Encode(answer.c_str());
  EXPECT_STREQ(coder.GetEncoded(), "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw");
}

TEST(Base64, Rfc4648VectorsBothWays) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},         {"f", "Zg=="},        {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  CBase64Coder coder;
  for (const auto& c : cases) {
    coder.Encode(U(c.first), c.first.size());
    EXPECT_EQ(std::string(coder.GetEncoded(), coder.GetEncodedLength()), c.second);
    coder.Decode(c.second.c_str());
    EXPECT_EQ(Decoded(coder), c.first) << c.second;
    EXPECT_EQ(coder.GetDecoded()[coder.GetDecodedLength()], 0) << "results are NUL-terminated";
  }
}

TEST(Base64, DecodingSkipsNoiseAndStopsAtPadding) {
  const std::pair<std::string, std::string> cases[] = {
      {"Zm9v\r\nYmFy", "foobar"},   // line breaks change nothing
      {"Zm9v YmFy", "foobar"},      // nor does a blank
      {"Zm9v*Ym\x80\xff" "Fy", "foobar"},
      {"QQ==", "A"},                // padding is not data
      {"QUI=", "AB"},
      {"QQ", "A"},                  // an unpadded last group gives its whole bytes
      {"QUJDRA", "ABCD"},
      {"QUJDR", "ABC"},             // a lone sextet holds no byte
      {"QQ==QUJD", "A"},            // padding ends the data
      {"", ""},
  };
  CBase64Coder coder;
  for (const auto& c : cases) {
    coder.Decode(U(c.first), c.first.size());
    EXPECT_EQ(Decoded(coder), c.second) << c.first;
  }
  coder.Decode(static_cast<const char*>(nullptr));
  EXPECT_EQ(Decoded(coder), "") << "null input leaves the last result";
}

TEST(Base64, BuffersGrowToTheNextBlockAbove) {
  CBase64Coder coder;
  std::vector<unsigned char> data(5000, 0x5A);
  coder.Encode(data.data(), data.size());
  EXPECT_EQ(coder.EncodedCapacity(), 12288u);
  EXPECT_EQ(coder.GetEncodedLength(), 6668u);
  coder.Encode(U("abc"), 3);
  EXPECT_EQ(coder.EncodedCapacity(), 12288u) << "buffers never shrink";
  EXPECT_STREQ(coder.GetEncoded(), "YWJj");
}

}  // namespace
