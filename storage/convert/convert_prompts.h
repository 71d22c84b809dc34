// The questions and messages of the imports and the old-file conversion.
// The storage layer implements it over its own prompts (the dialogs);
// tests answer as told and record every text. A null IConvertPrompts* is
// allowed everywhere: messages are dropped, questions answer No and the
// new-name dialog is cancelled.
#pragma once

#include <string>

// Icons of a message box (the platform's MB_ICON... values).
enum class ConvertIcon { kNone = 0, kQuestion = 0x20, kExclamation = 0x30, kInformation = 0x40 };

class IConvertPrompts {
 public:
  virtual ~IConvertPrompts() = default;

  // A message box with one OK button; an empty caption means the program
  // name.
  virtual void ShowMessage(const std::string& text, const std::string& caption, ConvertIcon icon) = 0;
  // A Yes/No box; true on Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption, ConvertIcon icon) = 0;
  // The import log dialog showing the whole text.
  virtual void ShowLog(const std::string& text) = 0;
  // The save dialog "Select New File Name" for a converted file, proposing
  // `proposed`; true with the chosen path, false when cancelled.
  virtual bool SelectNewFileName(const std::string& proposed, std::string* path) = 0;
};

// Null-safe calls.
void ConvertMessage(IConvertPrompts* prompts, const std::string& text, ConvertIcon icon,
                    const std::string& caption = std::string());
bool ConvertAskYesNo(IConvertPrompts* prompts, const std::string& text, ConvertIcon icon,
                     const std::string& caption = std::string());
