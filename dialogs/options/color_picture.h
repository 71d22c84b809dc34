// The picture of a colour button: bitmap 189 with its light grey
// (0xC0C0C0) pixels replaced by the colour, rebuilt on every change. The
// object owns the bitmap it last put on the button.
#pragma once

#include <windows.h>

namespace options {

class CColorPicture {
 public:
  CColorPicture() = default;
  ~CColorPicture();
  CColorPicture(const CColorPicture&) = delete;
  CColorPicture& operator=(const CColorPicture&) = delete;

  // Puts the picture for `color` on button `id` of `dialog`.
  void Show(HWND dialog, int id, COLORREF color);

 private:
  HBITMAP bitmap_ = nullptr;
};

}  // namespace options
