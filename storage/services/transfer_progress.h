// Where a transfer reports its steps: the subscribe and publish dialogs and
// the progress window implement it (as the messages WM_USER+3004..3006);
// a null pointer means no progress is shown.
#pragma once

#include <string>

class ITransferProgress {
 public:
  virtual ~ITransferProgress() = default;
  // The bar's range becomes 1..steps.
  virtual void SetSteps(int steps) = 0;
  // The transfer reached this step; step 0 with an empty text resets.
  virtual void Step(int step, const std::string& text) = 0;
  // A result text to show.
  virtual void ShowResult(const std::string& text) = 0;
};

// The modeless progress window of a refresh or an automatic publish.
class IProgressWindow : public ITransferProgress {
 public:
  virtual void SetTitle(const std::string& title) = 0;
  // The work is over: with closeNow the window goes at once, else the user
  // closes it (it frees itself then). The pointer is dead after this call.
  virtual void Done(bool closeNow) = 0;
};
