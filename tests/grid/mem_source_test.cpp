// The memory data source: places, search order, and sorting by the
// default order of cells (stable, numeric only between numeric cells,
// always ending).
#include "grid/data/mem_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grid/data/cell_compare.h"

namespace {

CGridCell Text(const std::string& s, short type = 1) {
  CGridCell c;
  c.SetText(s);
  c.SetDataType(type);
  return c;
}

// Column 0 holds the keys ("-" leaves the place unwritten, "" an empty
// cell), column 1 the row's original index.
void Fill(CGridMemSource& src, const std::vector<std::pair<std::string, short>>& keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].first == "-") {
      src.SetCell(1, static_cast<int>(i), Text(std::to_string(i)));
      continue;
    }
    CGridCell key = keys[i].first.empty() ? CGridCell() : Text(keys[i].first, keys[i].second);
    if (keys[i].first.empty()) key.SetBackColor(0);
    src.SetCell(0, static_cast<int>(i), key);
    src.SetCell(1, static_cast<int>(i), Text(std::to_string(i)));
  }
}

std::string Order(CGridMemSource& src, int rows) {
  std::string out;
  for (int r = 0; r < rows; ++r) {
    CGridCell c;
    src.GetCell(1, r, &c);
    out += c.GetTextPtr() ? c.GetTextPtr() : "?";
  }
  return out;
}

}  // namespace

TEST(GridMemSource, PlacesComeIntoBeingWhenWrittenAndStayWhenEmptied) {
  CGridMemSource src;
  CGridCell out;
  EXPECT_EQ(src.GetCell(0, 0, &out), 1);
  EXPECT_EQ(src.InsertCol(0), 1);
  EXPECT_EQ(src.SetCell(3, 5, Text("x")), 0);
  EXPECT_EQ(src.RowPlaces(), 6);
  EXPECT_EQ(src.GetCell(2, 5, &out), 1);
  EXPECT_EQ(src.GetCell(3, 5, &out), 0);
  EXPECT_STREQ(out.GetTextPtr(), "x");
  EXPECT_EQ(src.DeleteCell(3, 5), 0);
  EXPECT_EQ(src.GetCell(3, 5, &out), 1);
  EXPECT_EQ(src.DeleteCell(3, 9), 1);
  EXPECT_EQ(src.SetCell(-1, 0, Text("x")), 1);
  // Rows shift on insert and delete.
  src.SetCell(0, 0, Text("a"));
  src.SetCell(0, 1, Text("b"));
  src.InsertRow(1);
  CGridCell moved;
  EXPECT_EQ(src.GetCell(0, 2, &moved), 0);
  EXPECT_STREQ(moved.GetTextPtr(), "b");
  src.DeleteRow(0);
  src.DeleteRow(0);
  EXPECT_EQ(src.GetCell(0, 0, &moved), 0);
  EXPECT_STREQ(moved.GetTextPtr(), "b");
}

TEST(GridMemSource, SearchOrderAndFlags) {
  CGridMemSource src;
  for (int c = 0; c < 5; ++c) src.SetCell(c, 0, Text("cell"));
  src.SetCell(1, 0, Text("Needle"));
  src.SetCell(0, 1, Text("needle"));
  src.SetCell(2, 2, Text("a needle here"));
  struct Case {
    int col, row, flags;
    const char* text;
    int result, foundCol, foundRow;
  } cases[] = {
      // Along rows from (2, 0): (3, 0), (4, 0), then (0, 1); (1, 0) lies behind.
      {2, 0, CGridDataSource::kFindAlongRows | CGridDataSource::kFindIgnoreCase, "needle", 0, 0, 1},
      {0, -1, CGridDataSource::kFindIgnoreCase, "needle", 0, 0, 1},
      {1, -1, 0, "needle", 1, 1, -1},
      {1, -1, CGridDataSource::kFindIgnoreCase, "needle", 0, 1, 0},
      {2, 0, CGridDataSource::kFindSubstring, "needle", 0, 2, 2},
      {2, 0, 0, "needle", 1, 2, 0},
  };
  for (const Case& k : cases) {
    int col = k.col, row = k.row;
    EXPECT_EQ(src.FindNext(k.text, &col, &row, k.flags), k.result) << k.col << "," << k.row << " " << k.flags;
    if (k.result == 0) {
      EXPECT_EQ(col, k.foundCol);
      EXPECT_EQ(row, k.foundRow);
    }
  }
  int col = 0, row = 0;
  EXPECT_EQ(src.FindFirst("cell", &col, &row, CGridDataSource::kFindAlongRows), 0);
  EXPECT_EQ(col, 0);
  EXPECT_EQ(row, 0);
}

TEST(GridMemSource, SortOrders) {
  using K = std::vector<std::pair<std::string, short>>;
  struct Case {
    const char* name;
    K keys;
    int flags;
    const char* order;
  } cases[] = {
      {"stable text", K{{"b", 1}, {"a", 1}, {"b", 1}, {"a", 1}}, 0, "1302"},
      {"numbers", K{{"10", 2}, {"9", 2}, {"100", 2}}, 0, "102"},
      {"texts", K{{"10", 1}, {"9", 1}, {"100", 1}}, 0, "021"},
      {"descending, missing last", K{{"a", 1}, {"-", 1}, {"c", 1}, {"b", 1}}, kGridSortDescending, "2301"},
      {"missing, empty, text", K{{"x", 1}, {"", 1}, {"-", 1}, {"a", 1}}, 0, "2130"},
      {"all empty keep order", K{{"-", 1}, {"-", 1}, {"-", 1}}, 0, "012"},
  };
  for (const Case& k : cases) {
    CGridMemSource src;
    Fill(src, k.keys);
    EXPECT_EQ(src.SortRowsByColumn(0, k.flags), 0) << k.name;
    EXPECT_EQ(Order(src, static_cast<int>(k.keys.size())), k.order) << k.name;
  }
}

// Inconsistent orderings must still end and lose no row.
class Contrary : public CGridCellComparer {
 public:
  int calls = 0;
  int CompareCells(const CGridCell*, const CGridCell*, int) override { return (++calls % 3) - 1; }
};

TEST(GridMemSource, SortEndsWithAContradictoryComparisonAndKeepsEveryRow) {
  CGridMemSource src;
  Contrary contrary;
  src.SetOwner(nullptr, &contrary);
  std::vector<std::pair<std::string, short>> keys;
  for (int i = 0; i < 10; ++i) keys.push_back({std::string(1, static_cast<char>('a' + i)), 1});
  Fill(src, keys);
  EXPECT_EQ(src.SortRowsByColumn(0, 0), 0);
  std::string order = Order(src, 10);
  std::sort(order.begin(), order.end());
  EXPECT_EQ(order, "0123456789");
}

TEST(GridMemSource, MixedNumericAndTextCellsSortAndReturn) {
  // Numbers compare as numbers only among themselves, so such a column has
  // no consistent order (a < 10 < 9 < a); the sort still ends.
  CGridMemSource src;
  Fill(src, {{"10", 2}, {"9", 1}, {"b", 1}, {"100", 2}, {"", 2}, {"a", 3}});
  EXPECT_EQ(src.SortRowsByColumn(0, 0), 0);
  std::string order = Order(src, 6);
  EXPECT_EQ(order[0], '4');
  std::sort(order.begin(), order.end());
  EXPECT_EQ(order, "012345");
}

TEST(GridCellOrder, IsSymmetric) {
  CGridCell num = Text("5", 2), text = Text("abc", 1), empty;
  empty.SetBackColor(0);
  const CGridCell* cells[] = {nullptr, &empty, &text, &num};
  for (const CGridCell* a : cells) {
    for (const CGridCell* b : cells) {
      EXPECT_EQ(CompareGridCells(a, b, 0), -CompareGridCells(b, a, 0));
      EXPECT_EQ(CompareGridCells(a, b, kGridSortDescending), CompareGridCells(b, a, 0));
    }
  }
  EXPECT_LT(CompareGridCells(nullptr, &empty, 0), 0);
  EXPECT_LT(CompareGridCells(&empty, &text, 0), 0);
}
