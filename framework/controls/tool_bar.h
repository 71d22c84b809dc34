// CToolBar: a common-controls toolbar whose buttons come from a toolbar
// resource (type 241: version 1, image width, image height, button count,
// then one command id per button, 0 for a separator) and a bitmap strip of
// the same id.
#pragma once

#include <vector>

#include "framework/window.h"

namespace framework {

constexpr WORD kToolBarResourceType = 241;

class CToolBar : public CWindow {
 public:
  bool Create(HWND parent, DWORD toolStyle, DWORD style, UINT id);
  // Loads the buttons of resource `id`; false when it is missing or bad.
  bool LoadToolBar(UINT id);
  int GetButtonCount() const { return static_cast<int>(ids_.size()); }
  UINT GetButtonId(int index) const { return ids_[static_cast<size_t>(index)]; }
  SIZE GetImageSize() const { return imageSize_; }

 private:
  std::vector<UINT> ids_;
  SIZE imageSize_{0, 0};
};

}  // namespace framework
