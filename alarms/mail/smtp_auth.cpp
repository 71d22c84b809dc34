// The three log-ins after EHLO: CRAM-MD5, LOGIN and PLAIN.
#include <cstdio>
#include <cstring>

#include "alarms/mail/base64_coder.h"
#include "alarms/mail/mail_errors.h"
#include "alarms/mail/md5.h"
#include "alarms/mail/smtp_connection.h"

namespace {

std::string Base64(const std::string& bytes) {
  CBase64Coder coder;
  coder.Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  return std::string(coder.GetEncoded(), coder.GetEncodedLength());
}

}  // namespace

uint32_t CSMTPConnection::Login(int method, const std::string& user, const std::string& password) {
  switch (method) {
    case kLoginCramMd5: {
      if (uint32_t e = Command("AUTH CRAM-MD5\r\n", 334)) return e;
      CBase64Coder coder;
      coder.Decode(lastLine_.size() > 4 ? lastLine_.c_str() + 4 : "");
      // The challenge is text: its bytes up to a NUL.
      const unsigned char* challenge = coder.GetDecoded();
      size_t length = std::strlen(reinterpret_cast<const char*>(challenge));
      unsigned char digest[16];
      HmacMd5(challenge, length, reinterpret_cast<const unsigned char*>(password.data()), password.size(), digest);
      std::string answer = user + " ";
      for (unsigned char b : digest) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", b);
        answer += hex;
      }
      return Command(Base64(answer) + "\r\n", 235);
    }
    case kLoginLogin:
      // The prompts mean nothing in the protocol and servers word them
      // differently: the first 334 asks for the user, the second for the
      // password.
      if (uint32_t e = Command("AUTH LOGIN\r\n", 334)) return e;
      if (uint32_t e = Command(Base64(user) + "\r\n", 334)) return e;
      return Command(Base64(password) + "\r\n", 235);
    case kLoginPlain: {
      if (uint32_t e = Command("AUTH PLAIN\r\n", 334)) return e;
      std::string credentials = std::string(1, '\0') + user + std::string(1, '\0') + password;
      return Command(Base64(credentials) + "\r\n", 235);
    }
    default:
      return kMailErrorInvalidArgument;
  }
}
