#include "dialogs/core/filter_rules.h"

std::string JoinStartupFilter(const std::vector<std::string>& names, const std::vector<uint16_t>& shown, bool reapply,
                              int* filterOn) {
  std::string text;
  *filterOn = 0;
  for (size_t i = 0; i < names.size() && i < shown.size(); ++i) {
    if (shown[i] != 0) continue;
    *filterOn = 1;
    if (!reapply) continue;
    if (!text.empty()) text += '~';
    text += names[i];
  }
  return text;
}
