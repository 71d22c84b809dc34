// The pre-parse filter of hostile iCalendar text.
#include "storage/ical/ical_bounds.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace icalx {

namespace {

bool StartsWithWord(const char* p, size_t n, const char* word) {
  const size_t w = std::strlen(word);
  if (n < w) return false;
  for (size_t i = 0; i < w; ++i) {
    if (std::toupper(static_cast<unsigned char>(p[i])) != word[i]) return false;
  }
  return true;
}

// One physical line: [begin, end) without its line break.
struct Line {
  size_t begin;
  size_t end;
};

class Filter {
 public:
  Filter(const std::string& text, int maxNesting, size_t maxProperty, size_t maxProperties)
      : text_(text), maxNesting_(maxNesting), maxProperty_(maxProperty), maxProperties_(maxProperties),
        counts_(static_cast<size_t>(maxNesting) + 1, 0) {
    out_.reserve(text.size());
  }

  std::string Run() {
    size_t pos = 0;
    while (pos < text_.size()) {
      size_t end = pos;
      while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
      const Line line{pos, end};
      if (end < text_.size() && text_[end] == '\r') ++end;
      if (end < text_.size() && text_[end] == '\n') ++end;
      pos = end;
      const bool continuation =
          line.end > line.begin && (text_[line.begin] == ' ' || text_[line.begin] == '\t');
      if (continuation && propertyOpen_) {
        const bool wasKept = propertyBytes_ <= maxProperty_;
        propertyBytes_ += line.end - line.begin - 1;
        if (propertyBytes_ <= maxProperty_) AppendLine(line);
        else DropLong(wasKept);
        continue;
      }
      FlushProperty();
      if (line.end == line.begin) continue;
      StartProperty(line);
    }
    FlushProperty();
    return std::move(out_);
  }
  size_t TooLong() const { return tooLong_; }

 private:
  void StartProperty(const Line& line) {
    propertyOpen_ = true;
    propertyStart_ = out_.size();
    propertyBytes_ = line.end - line.begin;
    const char* p = text_.data() + line.begin;
    const size_t n = line.end - line.begin;
    // A component boundary: depth decides whether the line is kept.
    if (StartsWithWord(p, n, "BEGIN:")) {
      ++depth_;
      if (depth_ > maxNesting_) return DropProperty();
      counts_[static_cast<size_t>(depth_)] = 0;
    } else if (StartsWithWord(p, n, "END:")) {
      const bool deep = depth_ > maxNesting_;
      if (depth_ > 0) --depth_;
      if (deep) return DropProperty();
    } else if (depth_ > maxNesting_ || ++counts_[static_cast<size_t>(depth_)] > maxProperties_) {
      return DropProperty();
    }
    if (propertyBytes_ > maxProperty_) return DropLong(true);
    AppendLine(line);
  }

  // A property dropped for its length is counted once.
  void DropLong(bool first) {
    if (first) ++tooLong_;
    DropProperty();
  }


  void AppendLine(const Line& line) {
    out_.append(text_, line.begin, line.end - line.begin);
    out_ += "\r\n";
  }

  // Takes back what was written of the current property and drops the
  // rest of its folded lines.
  void DropProperty() {
    out_.resize(propertyStart_);
    propertyOpen_ = true;
    propertyBytes_ = maxProperty_ + 1;
  }

  void FlushProperty() { propertyOpen_ = false; }

  const std::string& text_;
  const int maxNesting_;
  const size_t maxProperty_;
  const size_t maxProperties_;
  std::vector<size_t> counts_;  // properties kept so far, by depth
  size_t tooLong_ = 0;
  std::string out_;
  int depth_ = 0;
  bool propertyOpen_ = false;
  size_t propertyStart_ = 0;
  size_t propertyBytes_ = 0;
};

}  // namespace

std::string BoundICalText(const std::string& text, int maxNesting, size_t maxPropertyBytes,
                          size_t maxPropertiesPerComponent, size_t* tooLong) {
  Filter filter(text, maxNesting, maxPropertyBytes, maxPropertiesPerComponent);
  std::string out = filter.Run();
  if (tooLong) *tooLong = filter.TooLong();
  return out;
}

}  // namespace icalx
