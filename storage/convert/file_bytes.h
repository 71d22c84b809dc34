// Whole files in and out for the importers: read without ever changing the
// file (read-only open, so read-only files and files others have open
// read), and a copy that never replaces a file.
#pragma once

#include <cstdint>
#include <string>

// Reads the whole file into *bytes. False when it cannot be opened or read,
// or is larger than maxBytes; *nativeError then holds the system's number
// (0 for a file too large).
bool ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string* bytes, int* nativeError);

// Copies from to a new file `to`; false (and no file `to` left behind)
// when `to` exists or anything fails.
bool CopyToNewFile(const std::string& from, const std::string& to);
