// GDI wrappers: objects that delete their handle, device contexts that
// release theirs, and point-size fonts.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// The logical height of a font of `tenths` tenths of a point on a device
// of `dpi` pixels per logical inch: -MulDiv(tenths, dpi, 720).
int PointFontHeight(int tenths, int dpi);

// Owns one GDI object handle and deletes it.
template <class H>
class CGdiObject {
 public:
  CGdiObject() = default;
  explicit CGdiObject(H h) : h_(h) {}
  ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  H Get() const { return h_; }
  operator H() const { return h_; }
  void Attach(H h) {
    DeleteObject();
    h_ = h;
  }
  H Detach() {
    H h = h_;
    h_ = nullptr;
    return h;
  }
  void DeleteObject() {
    if (h_) ::DeleteObject(h_);
    h_ = nullptr;
  }

 protected:
  H h_ = nullptr;
};

class CFont : public CGdiObject<HFONT> {
 public:
  // A font of `tenths` tenths of a point; the height is computed on `dc`
  // (the screen when null). False when it could not be made.
  bool CreatePointFont(int tenths, const std::string& face, HDC dc = nullptr);
  bool CreatePointFontIndirect(const LOGFONTA& font, HDC dc = nullptr);
};

class CBrush : public CGdiObject<HBRUSH> {
 public:
  bool CreateSolidBrush(COLORREF color) {
    Attach(::CreateSolidBrush(color));
    return h_ != nullptr;
  }
};

class CPen : public CGdiObject<HPEN> {
 public:
  bool CreatePen(int style, int width, COLORREF color) {
    Attach(::CreatePen(style, width, color));
    return h_ != nullptr;
  }
};

class CBitmap : public CGdiObject<HBITMAP> {
 public:
  bool LoadBitmap(HINSTANCE instance, UINT id) {
    Attach(static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
    return h_ != nullptr;
  }
  bool CreateCompatibleBitmap(HDC dc, int width, int height) {
    Attach(::CreateCompatibleBitmap(dc, width, height));
    return h_ != nullptr;
  }
};

// A window's client-area DC (the screen's with a null window).
class CClientDC {
 public:
  explicit CClientDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~CClientDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A memory DC compatible with another; the first object selected into it
// is put back on destruction.
class CMemoryDC {
 public:
  explicit CMemoryDC(HDC compatible) : dc_(::CreateCompatibleDC(compatible)) {}
  ~CMemoryDC() {
    if (old_) ::SelectObject(dc_, old_);
    if (dc_) ::DeleteDC(dc_);
  }
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;
  operator HDC() const { return dc_; }
  void Select(HGDIOBJ obj) {
    HGDIOBJ prev = ::SelectObject(dc_, obj);
    if (!old_) old_ = prev;
  }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace framework
