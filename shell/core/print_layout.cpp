#include "shell/core/print_layout.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace printcore {

namespace {
constexpr double kMillimetresPerInch = 25.4;
constexpr int kMaxColumnWidth = 20000;  // 20 inches
}  // namespace

int MarginPixels(int margin, bool metric, int logPixels) {
  double inches = metric ? margin / 100.0 / kMillimetresPerInch : margin / 1000.0;
  return static_cast<int>(inches * logPixels);
}

PageRect PrintableRect(const PrinterMetrics& p, const Margins& m, bool metric) {
  PageRect r;
  r.left = std::min(p.horzRes, std::max(0, MarginPixels(m.left, metric, p.logPixelsX) - p.offsetX));
  r.top = std::min(p.vertRes, std::max(0, MarginPixels(m.top, metric, p.logPixelsY) - p.offsetY));
  r.right = std::min(p.horzRes, p.physicalWidth - p.offsetX - MarginPixels(m.right, metric, p.logPixelsX));
  r.bottom = std::min(p.vertRes, p.physicalHeight - p.offsetY - MarginPixels(m.bottom, metric, p.logPixelsY));
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

int RowsPerPage(int available, int rowHeight) { return std::max(1, available / std::max(1, rowHeight)); }

int PageCount(int entries, int rowsPerPage) {
  if (entries <= 0) return 1;
  return (entries - 1) / std::max(1, rowsPerPage) + 1;
}

bool ParseColumnWidth(const std::string& text, bool metric, int* stored) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(begin, &end);
  if (end == begin || errno != 0) return false;
  while (*end == ' ') ++end;
  if (*end != '\0' || !std::isfinite(value)) return false;
  double thousandths = metric ? value * 1000.0 / kMillimetresPerInch : value * 1000.0;
  // A small tolerance so "508" mm, exactly 20 in, is not refused by rounding.
  if (value < 0 || thousandths > kMaxColumnWidth + 1e-6) return false;
  *stored = std::min(kMaxColumnWidth, static_cast<int>(thousandths + 1e-9));
  return true;
}

std::string FormatColumnWidth(int stored, bool metric) {
  char text[32];
  if (metric)
    std::snprintf(text, sizeof text, "%.0f", stored / 1000.0 * kMillimetresPerInch);
  else
    std::snprintf(text, sizeof text, "%.1f", stored / 1000.0);
  return text;
}

const char* ColumnWidthCaption(bool metric) { return metric ? "Width (mm)" : "Width (inches)"; }

const char* const kListHeadings[kListColumnCount] = {"Name", "Day", "Date", "Days Left", "Time", "Age", "Type"};

std::vector<ListColumn> LayOutListColumns(const bool shown[kListColumnCount], const int widths[kListColumnCount],
                                          int logPixelsX, const int* needed) {
  std::vector<ListColumn> columns;
  const int gap = logPixelsX * 50 / 1000;
  int x = 0;
  for (int i = 0; i < kListColumnCount; ++i) {
    if (!shown[i]) continue;
    int width = static_cast<int>(static_cast<long long>(widths[i]) * logPixelsX / 1000);
    if (needed) width = std::max(width, needed[i]);
    x += gap;
    columns.push_back({i, x, width});
    x += width;
  }
  return columns;
}

namespace {

// Adds the lines of one paragraph (no line ends inside).
void BreakParagraph(const std::string& para, int width, const MeasureText& measure, std::vector<std::string>* out) {
  size_t start = 0;
  if (para.empty()) {
    out->push_back(std::string());
    return;
  }
  while (start < para.size()) {
    if (measure(para.substr(start)) <= width) {
      out->push_back(para.substr(start));
      return;
    }
    // The longest prefix that fits (at least one character).
    size_t lo = 1, hi = para.size() - start;
    while (lo < hi) {
      size_t mid = (lo + hi + 1) / 2;
      if (measure(para.substr(start, mid)) <= width)
        lo = mid;
      else
        hi = mid - 1;
    }
    size_t fit = lo;
    // Prefer to cut after the last blank inside what fits.
    size_t blank = para.rfind(' ', start + fit);
    size_t cut = fit;
    if (blank != std::string::npos && blank > start && blank <= start + fit) cut = blank - start;
    std::string line = para.substr(start, cut);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out->push_back(line);
    start += cut;
    while (start < para.size() && para[start] == ' ') ++start;
  }
}

}  // namespace

std::vector<std::string> BreakLines(const std::string& text, int width, const MeasureText& measure) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    if (nl == std::string::npos && para.empty() && start == text.size() && start != 0) break;
    BreakParagraph(para, width, measure, &lines);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  if (text.empty()) lines.clear();
  return lines;
}

int LinesThatFit(int available, int lineHeight) {
  if (lineHeight <= 0 || available <= 0) return 0;
  return available / lineHeight;
}

EventPage LayOutEventPage(const EventFields& f) {
  EventPage page;
  page.rows.push_back({0, "Event Name:   ", f.name});
  page.rows.push_back({2, "Calendar:   ", f.calendar});
  page.rows.push_back({3, "Event Type:   ", f.type});
  page.rows.push_back({5, "Start:   ", f.startDate + " " + f.startTime});
  int last = 5;
  if (f.showsEnd) page.rows.push_back({last = 6, "End:   ", f.endDate + " " + f.endTime});
  if (f.calculateAge) {
    char year[16];
    std::snprintf(year, sizeof year, "%d", f.originalYear);
    page.rows.push_back({last + 2, "Original Year:   ", year});
    page.rows.push_back({last + 3, "Age on This Date:   ", f.age});
    last += 3;
  }
  page.notesRow = last + 2;
  return page;
}

}  // namespace printcore
