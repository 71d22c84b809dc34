// Text in the ANSI code page (what every string of the program holds) and
// UTF-8 (what interchange formats carry), both ways.
//
// The Win32 side uses the system's ANSI code page; the POSIX side stands in
// Windows-1252 for it, so both trees read and write the same bytes.
#pragma once

#include <string>

namespace platform {

// ANSI code page text as UTF-8. Never fails: every byte of the code page has
// a character (Windows-1252's five unassigned bytes map to the C1 controls
// of the same number, as Windows does).
std::string AnsiToUtf8(const std::string& ansi);

// UTF-8 text in the ANSI code page (through ReadableUtf8); characters the
// code page lacks become '?'.
std::string Utf8ToAnsi(const std::string& utf8);

// Text meant as UTF-8 made valid, the one reading every importer shares:
// valid text as it is; text with no well-formed sequence of two or more
// bytes taken as Windows-1252 (what older writers stored: "Caf\xE9" is
// "Caf\xC3\xA9"); otherwise every well-formed sequence kept and each
// invalid part (a stray byte, a sequence cut short) replaced by one '?'.
std::string ReadableUtf8(const std::string& text);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// Windows-1252 bytes as UTF-8, and UTF-8 as Windows-1252 with '?' for
// characters outside it and for each invalid part. The same table on both
// sides.
std::string Windows1252ToUtf8(const std::string& text);
std::string Utf8ToWindows1252(const std::string& utf8);

}  // namespace platform
