// The event-type list as the Event Types page and the type colours dialog
// edit it, without a window: rows of (name, colour) kept in byte order and
// the row that is the default type, moved along as rows come and go.
//
// The grids show these rows one for one; every edit happens here first.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TypeRow {
  std::string name;
  uint32_t color = 0;
};

// Inserts (name, colour) before the first row whose name compares greater
// than or equal to it, byte-wise and case-sensitive ("Zoo" before
// "apple"), else appends; returns the new row's index. Equal names are
// kept, the new one above.
int InsertRowSorted(std::vector<TypeRow>& rows, const std::string& name, uint32_t color);

class CTypeRows {
 public:
  static constexpr int kMaxTypes = 99;
  // Colour a name without a stored colour gets.
  static constexpr uint32_t kPadColor = 0x800000;

  std::vector<TypeRow> rows;
  int defaultRow = -1;  // -1: no default type

  int Count() const { return static_cast<int>(rows.size()); }

  // Fills the rows from the settings' arrays (colours padded with
  // kPadColor). The default row is the row where entry `defaultType` was
  // inserted, moved down by each later insertion at or before it, so the
  // default stays the same type even when the stored list is not sorted;
  // -1 when `defaultType` is not an index of the names.
  void Load(const std::vector<std::string>& names, const std::vector<uint32_t>& colors, int32_t defaultType);

  // Inserts a row; -1 and nothing changed when 99 rows exist. The default
  // row moves down when it was at or after the new row.
  int Add(const std::string& name, uint32_t color);
  // Replaces row `row` (its name and colour may move it); returns its new
  // index, -1 when `row` is not a row. A modified default stays the
  // default.
  int Modify(int row, const std::string& name, uint32_t color);
  // Removes row `row`; returns the row to select afterwards (the same
  // index, or the last row), -1 when no row is left or `row` is not a
  // row. The default is cleared when it was the deleted row.
  int Delete(int row);

  // The rows in order into the settings' arrays, and the default row.
  void Store(std::vector<std::string>* names, std::vector<uint32_t>* colors, int32_t* defaultType) const;
};

// The new types a refreshed calendar brought: the map's names marked "NEW",
// each at the blank colour, in byte order.
std::vector<TypeRow> NewTypeRows(const std::map<std::string, std::string>& typeMarks, uint32_t blankColor);

// Appends to the settings' arrays every row whose colour differs from the
// blank colour, in row order. When the arrays would then hold more than 99
// types nothing is appended and the result is -1; else the number
// appended.
int AppendColoredTypes(const std::vector<TypeRow>& rows, uint32_t blankColor, std::vector<std::string>* names,
                       std::vector<uint32_t>* colors);
