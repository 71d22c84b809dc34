#include "alarms/core/action_tags.h"

#include <cstring>

std::string ReplaceAlarmTags(const std::string& text, const EventTextFields& fields, const std::string& notes) {
  const struct {
    const char* tag;
    const std::string* value;
  } tags[] = {{"<name>", &fields.name},         {"<type>", &fields.type},           {"<start date>", &fields.startDate},
              {"<start time>", &fields.startTime}, {"<end date>", &fields.endDate},    {"<end time>", &fields.endTime},
              {"<age>", &fields.age},           {"<notes>", &notes}};
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    bool replaced = false;
    if (text[i] == '<') {
      for (const auto& t : tags) {
        size_t len = std::strlen(t.tag);
        if (text.compare(i, len, t.tag) == 0) {
          out += *t.value;
          i += len;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}
