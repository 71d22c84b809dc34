// CTimerDlg: the modeless "Quick Timer" window (dialog 331): hours, minutes
// and seconds counted down to zero, when it comes to the front, shows
// "Time Has Expired!", plays the alarm sound and flashes its task-bar
// button. Hide keeps a running countdown going.
//
// The count runs against an end time, not by counting ticks, so a busy GUI
// thread or a sleeping machine never makes it slow; a field the user edits
// while it runs restarts the count from what the fields then show.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/dialogs/dialog.h"

namespace alarms {

class CTimerDlg : public framework::CDialog {
 public:
  explicit CTimerDlg(HWND parent = nullptr);
  ~CTimerDlg() override;

  bool IsRunning() const { return timerId_ != -1; }
  // The fields as shown ("1", "05", "09").
  std::string Shown() const;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;      // Hide
  void OnCancel() override;  // the close box hides too
  void OnTimer(UINT_PTR id) override;
  LRESULT OnTimerMessage(WPARAM id, LPARAM) {
    OnTimer(id);
    return 0;
  }

 private:
  LRESULT OnSpin(WPARAM, LPARAM spin);
  void OnMinutesLeft();
  void OnSecondsLeft();
  void PadField(int id);
  void OnStartStop();
  void OnClear();
  void Stop();
  void Expire();
  int ReadSeconds() const;
  void Write(int seconds);

  HFONT bigFont_ = nullptr;
  int timerId_ = -1;
  uint64_t endTick_ = 0;
  std::string written_;  // what the last tick wrote, to notice edits
};

}  // namespace alarms
