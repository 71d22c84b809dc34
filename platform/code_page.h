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

// UTF-8 text in the ANSI code page; characters the code page lacks become
// '?'. Text that is not valid UTF-8 is taken as Windows-1252 (what older
// writers stored) and converted from there.
std::string Utf8ToAnsi(const std::string& utf8);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// Windows-1252 bytes as UTF-8, and UTF-8 (valid) as Windows-1252 with '?'
// for characters outside it. The same table on both sides.
std::string Windows1252ToUtf8(const std::string& text);
std::string Utf8ToWindows1252(const std::string& utf8);

}  // namespace platform
