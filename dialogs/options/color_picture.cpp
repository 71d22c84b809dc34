#include "dialogs/options/color_picture.h"

#include <commctrl.h>

#include "res/resource.h"

namespace options {

CColorPicture::~CColorPicture() {
  if (bitmap_) ::DeleteObject(bitmap_);
}

void CColorPicture::Show(HWND dialog, int id, COLORREF color) {
  COLORMAP map{RGB(0xC0, 0xC0, 0xC0), color};
  HBITMAP next = ::CreateMappedBitmap(::GetModuleHandleA(nullptr), IDB_COLOR_BUTTON, 0, &map, 1);
  if (!next) return;
  ::SendDlgItemMessageA(dialog, id, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next));
  if (bitmap_) ::DeleteObject(bitmap_);
  bitmap_ = next;
}

}  // namespace options
