// CCalProgress: dialog 357 "Progress", the modeless window of a refresh or
// an automatic publish: a bar, a result line and Close, which starts
// disabled. It is a window the transfer is still using until the work is
// over (WM_CALPROGRESS_END 2), so it stays until then: Escape and the close
// box cancel the transfers instead (the window is their cancel scope,
// framework/blocking_wait.h). It frees itself when it is destroyed.
//
// It is owned by the window that started the work, so it stays above it,
// and that window is disabled until the work is over, as under a modal
// dialog: the user always finds the window that can cancel.
#pragma once

#include <memory>
#include <string>

#include "framework/blocking_wait.h"
#include "framework/dialogs/dialog.h"
#include "storage/services/transfer_progress.h"
#include "storage/ui/progress_messages.h"

class CCalProgress : public framework::CDialog, public IProgressWindow {
 public:
  // A new window titled `title`, shown and active, owned by `owner`
  // (none: by nobody, and nothing is disabled); null when it could not be
  // made.
  static CCalProgress* Open(const std::string& title, HWND owner = nullptr);

  // IProgressWindow (as messages to the window).
  void SetSteps(int steps) override;
  void Step(int step, const std::string& text) override;
  void ShowResult(const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void Done(bool closeNow) override;

  bool IsFinished() const { return finished_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  void OnOK() override;
  void OnCancel() override;
  void PostNcDestroy() override { delete this; }

 private:
  CCalProgress();
  LRESULT OnSteps(WPARAM wParam, LPARAM lParam);
  LRESULT OnStep(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnd(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseBox(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroyWindow(WPARAM wParam, LPARAM lParam);
  void OnActivate(UINT state, HWND other, BOOL minimized);
  // Gives the owner its input back (once).
  void EnableOwner();

  bool finished_ = false;
  HWND disabledOwner_ = nullptr;
  std::unique_ptr<framework::CCancelScope> cancel_;
};
