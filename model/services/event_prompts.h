// The questions the event model puts to the user: confirming the deletion
// of an event or of one occurrence, and the warnings a user can silence.
// The dialogs implement IEventPrompts and register it in ModelServices
// (model_services.h); tests register a fake that answers as told.
#pragma once

#include <string>

// One warning with a "do not show again" check box.
struct WarningRequest {
  std::string message;
  std::string caption = "Warning";
  std::string checkBoxText = "Do not show this warning in the future";
  bool okOnly = false;  // one OK button instead of Yes and No
  int helpContext = 0;  // 0 = none
};

struct WarningAnswer {
  bool accepted = false;       // Yes (or OK)
  bool dontShowAgain = false;  // the check box was ticked
};

class IEventPrompts {
 public:
  // Choices of the delete-occurrence dialog.
  static constexpr int kDeleteThisOccurrence = 0;
  static constexpr int kDeleteAllOccurrences = 1;

  virtual ~IEventPrompts() = default;

  // "Delete Current Event?" naming the event (`name`, as its row shows it)
  // with Yes and No and the question icon; true on Yes.
  virtual bool ConfirmDeleteEvent(const std::string& name) = 0;
  // The occurrence-delete dialog with the prompt text and the choice preset
  // to *choice. True when it ended with OK, with the user's choice
  // (kDeleteThisOccurrence or kDeleteAllOccurrences) in *choice; false when
  // it was cancelled (*choice is then unchanged).
  virtual bool AskDeleteOccurrence(const std::string& prompt, int* choice) = 0;
  // A warning dialog; the answer tells the button and the check box.
  virtual WarningAnswer ShowWarning(const WarningRequest& request) = 0;
};
