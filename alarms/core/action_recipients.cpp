#include "alarms/core/action_recipients.h"

std::vector<std::string> SplitAlarmRecipients(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(",;", start);
    if (end == std::string::npos) end = text.size();
    size_t b = text.find_first_not_of(" \t", start);
    if (b != std::string::npos && b < end) {
      size_t e = text.find_last_not_of(" \t", end - 1);
      out.push_back(text.substr(b, e - b + 1));
    }
    start = end + 1;
  }
  return out;
}
