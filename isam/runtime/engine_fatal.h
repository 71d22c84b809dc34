// Fatal internal errors of the engine: broken invariants of the engine's
// own memory or call discipline. The status-log line is written first (so
// it survives a box the user never answers), then the message box and the
// end of the process go through platform::FatalExit, whose hook tests
// replace. With a hook that returns, these functions return too and the
// caller backs out without doing more.
#pragma once

namespace isam {

// "Unexpected internal engine error #<number> (eng_err=<eng_err>)": status
// log line without number, box "\n<text>\n", process exit code number.
void EngineFatalError(int number);

// Catastrophic end: box "\nEngine catastrophic end: M<m> L<l> F<f>
// P<p>x  ErrorCode=<eng_err>\n" (f as a short, p in hex), exit code 100.
void fatalend(int m, int l, int f, long p);

}  // namespace isam
