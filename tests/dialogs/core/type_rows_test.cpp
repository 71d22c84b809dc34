// The type list's order and its default-row bookkeeping through load, add,
// modify and delete, and the colours dialog's append with its limit.
#include "dialogs/core/type_rows.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Names(const CTypeRows& t) {
  std::vector<std::string> n;
  for (const TypeRow& r : t.rows) n.push_back(r.name);
  return n;
}

using V = std::vector<std::string>;

}  // namespace

TEST(TypeRows, ByteOrderAndEqualNamesAbove) {
  std::vector<TypeRow> rows;
  for (const char* n : {"work", "Zoo", "Alarm", "alpha", "Zoo"}) InsertRowSorted(rows, n, 0);
  std::vector<std::string> got;
  for (const TypeRow& r : rows) got.push_back(r.name);
  EXPECT_EQ(got, (V{"Alarm", "Zoo", "Zoo", "alpha", "work"}));
  EXPECT_EQ(InsertRowSorted(rows, "Zoo", 7), 1);
  EXPECT_EQ(rows[1].color, 7u);
  EXPECT_EQ(InsertRowSorted(rows, "\xE9t\xE9", 1), 6);  // high bytes sort last
}

TEST(TypeRows, LoadFindsTheDefaultByItsEntry) {
  struct Case {
    V names;
    int32_t defaultType;
    int defaultRow;
  };
  const Case cases[] = {
      {{"Work", "Meeting", "Alarm"}, 0, 2},  // unsorted store: "Work" stays the default
      {{"Alarm", "Meeting", "Work"}, 1, 1},
      {{"Work", "Alarm"}, 1, 0},
      {{"A", "B"}, 2, -1},
      {{"A", "B"}, -1, -1},
  };
  for (const Case& c : cases) {
    CTypeRows t;
    t.Load(c.names, {1, 2}, c.defaultType);
    EXPECT_EQ(t.defaultRow, c.defaultRow);
    if (c.defaultRow >= 0) {
      EXPECT_EQ(t.rows[c.defaultRow].name, c.names[c.defaultType]);
    }
  }
  CTypeRows t;
  t.Load({"Work", "Meeting", "Alarm"}, {1}, 0);  // colours padded
  EXPECT_EQ(t.rows[0].color, CTypeRows::kPadColor);
  EXPECT_EQ(t.rows[2].color, 1u);
  V names;
  std::vector<uint32_t> colors;
  int32_t def = -9;
  t.Store(&names, &colors, &def);
  EXPECT_EQ(names, (V{"Alarm", "Meeting", "Work"}));
  EXPECT_EQ(def, 2);
}

TEST(TypeRows, EditsKeepTheSameDefaultType) {
  CTypeRows t;
  t.Load({"B", "D", "F"}, {}, 1);  // default "D" at row 1
  EXPECT_EQ(t.Add("A", 0), 0);
  EXPECT_EQ(t.rows[t.defaultRow].name, "D");
  EXPECT_EQ(t.Add("E", 0), 3);
  EXPECT_EQ(t.rows[t.defaultRow].name, "D");
  EXPECT_EQ(t.Modify(t.defaultRow, "Z", 5), 4);  // the default renamed stays the default
  EXPECT_EQ(t.defaultRow, 4);
  EXPECT_EQ(t.Modify(0, "Y", 0), 3);  // a row moving past the default
  EXPECT_EQ(t.rows[t.defaultRow].name, "Z");
  EXPECT_EQ(Names(t), (V{"B", "E", "F", "Y", "Z"}));
  EXPECT_EQ(t.Delete(0), 0);  // a row above it
  EXPECT_EQ(t.rows[t.defaultRow].name, "Z");
  EXPECT_EQ(t.Delete(3), 2);  // the default itself; the last row is selected
  EXPECT_EQ(t.defaultRow, -1);
  EXPECT_EQ(t.Modify(7, "x", 0), -1);
  EXPECT_EQ(t.Delete(-1), -1);
  while (t.Count()) t.Delete(0);
  EXPECT_EQ(t.Delete(0), -1);
}

TEST(TypeRows, NinetyNineAtMost) {
  CTypeRows t;
  for (int i = 0; i < 99; ++i) ASSERT_GE(t.Add("T" + std::to_string(i), 0), 0);
  EXPECT_EQ(t.Add("more", 0), -1);
  EXPECT_EQ(t.Count(), 99);
}

TEST(TypeColors, OnlyColouredNewTypesAreAppendedWithinTheLimit) {
  const uint32_t blank = 0xA00000;
  std::vector<TypeRow> rows = NewTypeRows({{"Sport", "NEW"}, {"Work", "EXIST"}, {"Exam", "NEW"}}, blank);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "Exam");
  rows[1].color = 0xFF;  // "Sport" coloured, "Exam" left blank
  V names = {"Work"};
  std::vector<uint32_t> colors = {1};
  EXPECT_EQ(AppendColoredTypes(rows, blank, &names, &colors), 1);
  EXPECT_EQ(names, (V{"Work", "Sport"}));
  EXPECT_EQ(colors, (std::vector<uint32_t>{1, 0xFF}));

  names.assign(98, "T");
  colors.assign(98, 0);
  rows[0].color = 0x10;  // two coloured: 100 would exceed the limit
  EXPECT_EQ(AppendColoredTypes(rows, blank, &names, &colors), -1);
  EXPECT_EQ(names.size(), 98u);
  EXPECT_TRUE(NewTypeRows({{"Work", "EXIST"}}, blank).empty());
}
