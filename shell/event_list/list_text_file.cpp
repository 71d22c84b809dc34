#include "shell/event_list/list_text_file.h"

#include <cstdio>

#include "model/events/cal_event.h"

namespace eventlist {

namespace {

// Left-aligned in `width` characters; a longer text is kept whole.
void AppendPadded(std::string* out, const std::string& text, size_t width) {
  out->append(text);
  if (text.size() < width) out->append(width - text.size(), ' ');
}

std::string SixthField(const COccurrenceRef& row, const EventTextFields& fields, bool showAge) {
  if (showAge || !row.event->calculateAge) return fields.age;
  return std::to_string(row.event->start.GetYear());
}

}  // namespace

char ListDelimiter(int code) {
  switch (code) {
    case ',': case '\t': case ';': case ' ': case '~': return static_cast<char>(code);
    default: return ',';
  }
}

std::string FormatListText(const std::vector<COccurrenceRef>& rows, const ListTextFormat& format) {
  std::string out;
  const char* last = format.showAge ? "Age\n" : "OrigYear\n";
  const char delimiter = ListDelimiter(format.delimiter);
  if (format.headings) {
    if (format.fileFormat == 0) {
      AppendPadded(&out, "Name", 40);
      AppendPadded(&out, "Type", 40);
      AppendPadded(&out, "Date", 10);
      AppendPadded(&out, "Time", 10);
      AppendPadded(&out, "Day", 8);
      out += last;
    } else {
      for (const char* h : {"Name", "Type", "Date", "Time", "Day"}) {
        out += h;
        out += delimiter;
      }
      out += last;
    }
  }
  for (const COccurrenceRef& row : rows) {
    if (!row.event) continue;
    EventTextFields f;
    row.GetTextFields(f);
    const std::string sixth = SixthField(row, f, format.showAge);
    if (format.fileFormat == 0) {
      AppendPadded(&out, f.name, 40);
      AppendPadded(&out, f.type, 40);
      AppendPadded(&out, f.startDate, 10);
      AppendPadded(&out, f.startTime, 10);
      AppendPadded(&out, f.dayName, 8);
      AppendPadded(&out, sixth, 8);
    } else {
      for (const std::string* s : {&f.name, &f.type, &f.startDate, &f.startTime, &f.dayName}) {
        out += *s;
        out += delimiter;
      }
      out += sixth;
    }
    out += '\n';
  }
  return out;
}

bool WriteListTextFile(const std::string& path, const std::vector<COccurrenceRef>& rows,
                       const ListTextFormat& format) {
  std::FILE* f = std::fopen(path.c_str(), "wt");
  if (!f) return false;
  const std::string text = FormatListText(rows, format);
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace eventlist
