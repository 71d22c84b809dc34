#include "storage/convert/convert_prompts.h"

void ConvertMessage(IConvertPrompts* prompts, const std::string& text, ConvertIcon icon,
                    const std::string& caption) {
  if (prompts) prompts->ShowMessage(text, caption, icon);
}

bool ConvertAskYesNo(IConvertPrompts* prompts, const std::string& text, ConvertIcon icon,
                     const std::string& caption) {
  return prompts != nullptr && prompts->AskYesNo(text, caption, icon);
}
