// Small text transforms the message and the SMTP stream share. Texts are
// byte strings in the program's code page.
#pragma once

#include <string>

#include "platform/civil_time.h"

namespace mail {

// Every line end (CR LF, lone CR, lone LF) as CR LF.
std::string ToCrLf(const std::string& text);

// CR and LF as blanks, so a caller's value cannot start a new header line.
std::string HeaderSafe(const std::string& value);

// Doubles every '.' that starts a line of the DATA stream (the first line
// included), so no line of the message can end DATA or lose its dot.
std::string DotStuff(const std::string& stream);

// The value unchanged when all its bytes are below 0x80; otherwise one Q
// encoded word "=?charset?q?...?=" with blanks as '_' and bytes of 0x80 and
// above, '=', '?' and '_' as '=' and two upper-case hex digits. CR and LF
// become blanks first.
std::string EncodeHeaderValue(const std::string& value, const std::string& charset);

// Quoted-printable (RFC 2045) of a text whose line ends are CR LF: bytes 33
// to 126 but '=' pass, and blanks and tabs except before a line end; lone CR
// and LF bytes and everything else become "=XX". Lines are at most 76
// characters, a soft break's '=' counted.
std::string QuotedPrintable(const std::string& text);

// The Date header value of now, "Mon, 15 Jan 2024 13:00:00 +0100": English
// names from a fixed table, the local time and its offset from UTC written
// with the sign of the whole offset.
std::string MailDateNow();
// The same text for a given local time and its offset east of UTC in
// minutes (-30 gives "-0030").
std::string FormatMailDate(const platform::CivilTime& local, int offsetMinutes);

}  // namespace mail
