#include "dialogs/core/type_rows.h"

#include <cstring>

namespace {

// Byte order as unsigned characters, the order the stored lists are kept
// in.
int CompareBytes(const std::string& a, const std::string& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

int InsertRowSorted(std::vector<TypeRow>& rows, const std::string& name, uint32_t color) {
  size_t at = 0;
  while (at < rows.size() && CompareBytes(rows[at].name, name) < 0) ++at;
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), TypeRow{name, color});
  return static_cast<int>(at);
}

void CTypeRows::Load(const std::vector<std::string>& names, const std::vector<uint32_t>& colors,
                     int32_t defaultType) {
  rows.clear();
  defaultRow = -1;
  for (size_t i = 0; i < names.size(); ++i) {
    uint32_t color = i < colors.size() ? colors[i] : kPadColor;
    int at = InsertRowSorted(rows, names[i], color);
    if (static_cast<int32_t>(i) == defaultType) {
      defaultRow = at;
    } else if (defaultRow >= 0 && at <= defaultRow) {
      ++defaultRow;
    }
  }
}

int CTypeRows::Add(const std::string& name, uint32_t color) {
  if (Count() >= kMaxTypes) return -1;
  int at = InsertRowSorted(rows, name, color);
  if (defaultRow >= at) ++defaultRow;
  return at;
}

int CTypeRows::Modify(int row, const std::string& name, uint32_t color) {
  if (row < 0 || row >= Count()) return -1;
  rows.erase(rows.begin() + row);
  bool wasDefault = row == defaultRow;
  if (!wasDefault && row < defaultRow) --defaultRow;
  int at = InsertRowSorted(rows, name, color);
  if (wasDefault) {
    defaultRow = at;
  } else if (defaultRow >= at) {
    ++defaultRow;
  }
  return at;
}

int CTypeRows::Delete(int row) {
  if (row < 0 || row >= Count()) return -1;
  rows.erase(rows.begin() + row);
  if (row == defaultRow) {
    defaultRow = -1;
  } else if (row < defaultRow) {
    --defaultRow;
  }
  if (rows.empty()) return -1;
  return row < Count() ? row : Count() - 1;
}

void CTypeRows::Store(std::vector<std::string>* names, std::vector<uint32_t>* colors, int32_t* defaultType) const {
  names->clear();
  colors->clear();
  for (const TypeRow& r : rows) {
    names->push_back(r.name);
    colors->push_back(r.color);
  }
  *defaultType = defaultRow;
}

std::vector<TypeRow> NewTypeRows(const std::map<std::string, std::string>& typeMarks, uint32_t blankColor) {
  std::vector<TypeRow> rows;
  for (const auto& entry : typeMarks)
    if (entry.second == "NEW") InsertRowSorted(rows, entry.first, blankColor);
  return rows;
}

int AppendColoredTypes(const std::vector<TypeRow>& rows, uint32_t blankColor, std::vector<std::string>* names,
                       std::vector<uint32_t>* colors) {
  size_t colored = 0;
  for (const TypeRow& r : rows)
    if (r.color != blankColor) ++colored;
  if (names->size() + colored > static_cast<size_t>(CTypeRows::kMaxTypes)) return -1;
  // The colours may lag the names in a damaged profile: pad them first so
  // the new colours land beside their names.
  while (colors->size() < names->size()) colors->push_back(CTypeRows::kPadColor);
  colors->resize(names->size());
  for (const TypeRow& r : rows) {
    if (r.color == blankColor) continue;
    names->push_back(r.name);
    colors->push_back(r.color);
  }
  return static_cast<int>(colored);
}
