// CFilterGrid: the Filtering dialog's grid: a "Show" check box and the
// "Event Type" name per row, headings on top.
#pragma once

#include <string>
#include <vector>

#include "grid/core/grid_core.h"

namespace options {

class CFilterGrid : public CGridCore {
 public:
  CFilterGrid() = default;
  ~CFilterGrid() override;

  // Takes the place of control `id` of `dialog`; false when it is missing.
  bool Attach(HWND dialog, int id);
  // One row per type with its show flag (1 shown).
  void Fill(const std::vector<std::string>& names, const std::vector<uint16_t>& shown);
  uint16_t Shown(int row);
  void SetShown(int row, uint16_t shown);

 private:
  HFONT font_ = nullptr;
};

}  // namespace options
