// Print layout: margins to pixels, rows and pages, width settings, the
// notes line breaker and the event page rows.
#include "shell/core/print_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace printcore;

TEST(PrintLayout, PrintableRect) {
  PrinterMetrics a4{300, 300, 0, 0, 2479, 3508, 2479, 3508};
  PrinterMetrics inset{600, 600, 50, 60, 5100, 6600, 5000, 6480};
  struct Case {
    const char* name;
    PrinterMetrics printer;
    Margins margins;
    bool metric;
    PageRect want;
  } cases[] = {
      {"inch 1000 at 600 dpi, offset 50", inset, {1000, 1000, 1000, 1000}, false, {550, 540, 4450, 5940}},
      {"metric 1000 = 10 mm at 300 dpi", a4, {1000, 1000, 1000, 1000}, true, {118, 118, 2479 - 118, 3508 - 118}},
      {"inch 2540 at 300 dpi", a4, {2540, 2540, 2540, 2540}, true, {300, 300, 2179, 3208}},
      {"margins 0 inside the border", inset, {0, 0, 0, 0}, false, {0, 0, 5000, 6480}},
      {"margins wider than the page", a4, {9000, 9000, 9000, 9000}, false, {2479, 2700, 2479, 2700}},
  };
  for (const Case& c : cases) {
    PageRect r = PrintableRect(c.printer, c.margins, c.metric);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}),
              std::vector<int>({c.want.left, c.want.top, c.want.right, c.want.bottom}))
        << c.name;
  }
}

TEST(PrintLayout, RowsAndPages) {
  EXPECT_EQ(RowsPerPage(1000, 50), 20);
  EXPECT_EQ(RowsPerPage(40, 50), 1);  // big fonts: never 0
  EXPECT_EQ(RowsPerPage(1000, 0), 1000);
  struct Case {
    int entries, rows, pages;
  } cases[] = {{0, 20, 1}, {1, 20, 1}, {20, 20, 1}, {21, 20, 2}, {5, 0, 5}};
  for (const Case& c : cases) EXPECT_EQ(PageCount(c.entries, c.rows), c.pages) << c.entries << "/" << c.rows;
}

TEST(PrintLayout, ColumnWidths) {
  struct Case {
    const char* text;
    bool metric;
    bool ok;
    int stored;
  } cases[] = {
      {"2.1", false, true, 2100}, {"53", true, true, 2086}, {"21", false, false, 0},  {"508", true, true, 20000},
      {"509", true, false, 0},    {"-1", false, false, 0},  {"abc", false, false, 0}, {"", true, false, 0},
      {"0", false, true, 0},      {"1e400", false, false, 0},
  };
  for (const Case& c : cases) {
    int stored = -7;
    EXPECT_EQ(ParseColumnWidth(c.text, c.metric, &stored), c.ok) << c.text;
    EXPECT_EQ(stored, c.ok ? c.stored : -7) << c.text;
  }
  EXPECT_EQ(FormatColumnWidth(2100, false), "2.1");
  EXPECT_EQ(FormatColumnWidth(2100, true), "53");
}

TEST(PrintLayout, BreakLines) {
  // One pixel per character keeps the expected lines readable.
  MeasureText chars = [](const std::string& s) { return static_cast<int>(s.size()); };
  struct Case {
    const char* name;
    std::string text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"empty", "", 10, {}},
      {"fits", "one two", 10, {"one two"}},
      {"wraps at blanks", "one two three four", 9, {"one two", "three", "four"}},
      {"line ends kept", "a\r\n\nb\n", 10, {"a", "", "b"}},
      {"long word cut", "abcdefghij xy", 4, {"abcd", "efgh", "ij", "xy"}},
      {"narrower than a character", "abc", 0, {"a", "b", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(BreakLines(c.text, c.width, chars), c.lines) << c.name;

  std::vector<std::string> word = BreakLines(std::string(5000, 'w'), 70, chars);
  ASSERT_EQ(word.size(), 72u);
  EXPECT_EQ(word.back().size(), 5000u % 70);
  EXPECT_EQ(LinesThatFit(100, 30), 3);
  EXPECT_EQ(LinesThatFit(20, 30), 0);  // a line higher than the page places nothing
}

TEST(PrintLayout, EventPageRows) {
  struct Case {
    const char* name;
    bool showsEnd, age;
    std::vector<int> rows;
    int notesRow;
  } cases[] = {
      {"plain", false, false, {0, 2, 3, 5}, 7},
      {"with end", true, false, {0, 2, 3, 5, 6}, 8},
      {"with age", false, true, {0, 2, 3, 5, 7, 8}, 10},
      {"end and age", true, true, {0, 2, 3, 5, 6, 8, 9}, 11},
  };
  for (const Case& c : cases) {
    EventFields f;
    f.showsEnd = c.showsEnd;
    f.calculateAge = c.age;
    f.originalYear = 1970;
    EventPage page = LayOutEventPage(f);
    std::vector<int> rows;
    for (const EventRow& r : page.rows) rows.push_back(r.row);
    EXPECT_EQ(rows, c.rows) << c.name;
    EXPECT_EQ(page.notesRow, c.notesRow) << c.name;
    if (c.age) {
      EXPECT_EQ(page.rows[rows.size() - 2].value, "1970") << c.name;
    }
  }
}

TEST(PrintLayout, ListColumns) {
  const int widths[kListColumnCount] = {2100, 500, 700, 700, 700, 400, 1500};
  bool all[kListColumnCount] = {true, true, true, true, true, true, true};
  std::vector<ListColumn> cols = LayOutListColumns(all, widths, 100);
  ASSERT_EQ(cols.size(), 7u);
  EXPECT_EQ(cols[0].x, 5);
  EXPECT_EQ(cols[1].x, 220);  // the Day column: 1-inch margin + 220 = 320 at 100 dpi
  EXPECT_EQ(cols[6].width, 150);
  bool some[kListColumnCount] = {false, true, false, false, false, false, true};
  cols = LayOutListColumns(some, widths, 300);
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[1].field, 6);
  EXPECT_EQ(cols[1].x, 15 + 150 + 15);
  bool none[kListColumnCount] = {};
  EXPECT_TRUE(LayOutListColumns(none, widths, 300).empty());
  // A text wider than its setting widens its column and moves the next.
  const int needed[kListColumnCount] = {0, 0, 90, 10, 0, 0, 0};
  cols = LayOutListColumns(all, widths, 100, needed);
  EXPECT_EQ(cols[2].width, 90);
  EXPECT_EQ(cols[3].width, 70);
  EXPECT_EQ(cols[3].x, cols[2].x + 90 + 5);
}
