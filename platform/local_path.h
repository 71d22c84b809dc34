// Whether a path that arrived from outside (a calendar file, an import, a
// server, an address) stays on this computer. Opening a path of another
// computer connects to it and offers it the user's network login, so a
// sound, a program or a calendar file named by such a value is opened only
// when this says it is local. Every caller that opens such a value asks
// here: one judgement for all of them. Pure text, no system call: the same
// answer in both trees.
#pragma once

#include <string>

namespace platform {

enum class PathVerdict {
  kLocal,    // a bare or relative name, or a path on a drive letter
  kNetwork,  // "\\host\share\...", "//host/...", "\\?\UNC\...", "\??\UNC\..."
  kDevice,   // "\\.\...", "\\?\...", "\??\...", a device name (CON, NUL, COM1, ...)
  kAddress,  // "scheme:..." with a scheme of two letters or more (http:, file:)
  kControl,  // holds a control character
};

// "/" counts as "\" and leading blanks are skipped. The empty path is local
// (it names nothing).
PathVerdict JudgePath(const std::string& path);
inline bool IsLocalPath(const std::string& path) { return JudgePath(path) == PathVerdict::kLocal; }

// The message for a refused path: "<what> "<path>" is not on this
// computer and was not opened." and the like, by verdict. Empty for kLocal.
std::string RefusedPathText(const std::string& what, const std::string& path);

// A plain file name made from a text (a calendar's name): no folder, no
// drive, no device name, no character a file name may not hold (each
// becomes "_"), no blanks or dots at either end; `fallback` when nothing
// is left.
std::string PlainFileName(const std::string& text, const std::string& fallback);

}  // namespace platform
