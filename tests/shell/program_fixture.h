// Shared by the shell's window tests: the program's registry profile,
// starting almacora.exe and finding its window, answering message boxes by
// caption; screenshots come from the shared window-test support.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/win/window_shot.h"

namespace shelltest {

// Empties the program's "Settings" and writes the given values over quiet
// defaults (no splash, no exit warning, no sound, no calendar files).
void ResetProfile(const std::map<std::string, int>& ints = {},
                  const std::map<std::string, std::string>& texts = {});
int ReadSetting(const std::string& name, int missing = -12345);
std::string ReadSettingText(const std::string& name);

// The main window ("AlmacoraClass") of a process, or null.
HWND FindMainWindow(DWORD pid);
// Waits (pumping) up to `ms` for a visible top-level window of process
// `pid` and class `cls` (empty: any) that `match` accepts; null when none
// came.
HWND WaitForWindowOf(DWORD pid, const std::string& cls, const std::function<bool(HWND)>& match, DWORD ms = 15000);

class Program {
 public:
  ~Program();
  // Starts almacora.exe (the built one, or the copy at `exe`) with `args`
  // in `folder` (empty: this process's).
  bool Start(const std::string& args = "", const std::string& folder = "", const std::string& exe = "");
  // Before Start: the program's Wine debug channels; Trace() is what they
  // wrote, in this test's output (cmake/wine_test_run.sh keeps it).
  void TraceChannels(const std::string& channels) { channels_ = channels; }
  std::string Trace() const;
  HWND WaitForWindow(DWORD ms = 20000);
  // The exit code, or -1 when it did not end in time (it is then killed).
  int WaitExit(DWORD ms = 15000);
  DWORD Pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
  std::string channels_;
};

// What the help viewer was asked last, from the help library's Wine trace
// (Program::TraceChannels("trace+htmlhelp")): the command ("HH_HELP_CONTEXT"),
// its context and the topic it went to ("event_edit.html"; empty: none).
struct HelpAsked {
  std::string command;
  long context = -1;
  std::string topic;
  HWND viewer = nullptr;  // from WaitForHelp: the viewer window, or null
};
HelpAsked LastHelpAsked(const std::string& trace);
// Waits up to 5 s for the program's help viewer, lets it settle, and reads
// what it was asked last.
HelpAsked WaitForHelp(const Program& p);
// Brings `window` to the front and presses F1 there.
void PressF1(HWND window);

// Watches for a dialog box with this caption, keeps its text and presses
// `button` on it, from its own thread (so it also answers boxes that a
// call blocked on a SendMessage waits for).
class BoxAnswerer {
 public:
  BoxAnswerer(const std::string& caption, int button);
  ~BoxAnswerer();
  // Waits until a box was answered; false when none came in time.
  bool Wait(DWORD ms = 10000);
  std::string Text() const { return text_; }

 private:
  std::string caption_;
  int button_;
  std::string text_;
  std::atomic<bool> done_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

using wintest::PumpFor;
using wintest::Shot;
using wintest::TakeShot;
using wintest::TakeShotNow;

// The share (percent) of white pixels on the main window's picture down its
// middle from half to seven eighths of its height: day cells of the month
// calendar whatever the screen's size (a test of the tray leaves Wine
// reporting its 800 x 600 desktop for a while, and then the window's very
// middle lies on the weekday header).
int WhiteShareDownTheMiddle(const Shot& shot);

}  // namespace shelltest
