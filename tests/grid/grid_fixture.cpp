#include "tests/grid/grid_fixture.h"

#include <algorithm>
#include <cstdio>

#include "tests/support/win/png_file.h"

namespace {
std::string Str(const char* fmt, int a, int b, int c = 0, int d = 0) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
  return buf;
}
}  // namespace

int LoggingSource::OnRowsRequested(int rowCount, int rowsMissing, void** param) {
  log_->push_back(Str("source rows %d %d", rowCount, rowsMissing));
  if (rowsToAdd > 0 && GetOwner()) GetOwner()->SetRowCount(rowCount + rowsToAdd, 0);
  *param = reinterpret_cast<void*>(static_cast<INT_PTR>(77));
  return 0;
}
void LoggingSource::OnCurrentRowChanged(int o, int n) { log_->push_back(Str("source row %d %d", o, n)); }
void LoggingSource::OnCurrentColumnChanged(int o, int n) { log_->push_back(Str("source col %d %d", o, n)); }
int LoggingSource::OnCanMoveCurrentCell(int oc, int orow, int nc, int nr) {
  log_->push_back(Str("source can %d %d %d %d", oc, orow, nc, nr));
  return allowMove;
}

int LoggingGrid::OnCanMoveCurrentCell(int oc, int orow, int nc, int nr) {
  log.push_back(Str("can %d %d %d %d", oc, orow, nc, nr));
  return allowMove;
}
void LoggingGrid::OnRowsRequested(int rowCount, int rowsMissing, void* param) {
  log.push_back(Str("grid rows %d %d param %d", rowCount, rowsMissing, static_cast<int>(reinterpret_cast<INT_PTR>(param))));
}
void LoggingGrid::OnCurrentColumnChanged(int o, int n) { log.push_back(Str("grid col %d %d", o, n)); }
void LoggingGrid::OnCurrentRowChanged(int o, int n) { log.push_back(Str("grid row %d %d", o, n)); }
void LoggingGrid::OnCurrentCellChanged(int oc, int nc, int orow, int nr) {
  log.push_back(Str("cell %d %d %d %d", oc, nc, orow, nr));
}
int LoggingGrid::OnCellTypeEvent(int type, int col, int row, int code, void*) {
  log.push_back(Str("type %d at %d %d code %d", type, col, row, code));
  return 1;
}
void LoggingGrid::OnPopupMenuCommand(int col, int row, int part, int id) {
  log.push_back(Str("menu %d %d %d %d", col, row, part, id));
}
void LoggingGrid::OnGridCreated() { log.push_back("created"); }
void LoggingGrid::OnSheetCreated(int sheet) { log.push_back(Str("sheet %d", sheet, 0)); }

TestHost::TestHost(int width, int height, bool visible) {
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  RegisterClass(inst, "AlmacoraGridTestHost");
  RECT r{0, 0, width, height};
  ::AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  Create("AlmacoraGridTestHost", "Grid test", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 10, 10, r.right - r.left,
         r.bottom - r.top, nullptr, nullptr, inst);
}

bool CreateHostedGrid(CGridCore& grid, TestHost& host, int width, int height) {
  return grid.CreateGrid(WS_CHILD | WS_VISIBLE, RECT{0, 0, width, height}, host.hwnd(), 100) != FALSE;
}

void PumpMessages() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(20);
  }
}

Dib::Dib(int width, int height, COLORREF fill) : w_(width), h_(height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;   // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bmp_ = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  dc_ = ::CreateCompatibleDC(nullptr);
  old_ = ::SelectObject(dc_, bmp_);
  RECT r{0, 0, width, height};
  HBRUSH b = ::CreateSolidBrush(fill);
  ::FillRect(dc_, &r, b);
  ::DeleteObject(b);
  ::GdiFlush();
}

Dib::~Dib() {
  ::SelectObject(dc_, old_);
  ::DeleteDC(dc_);
  ::DeleteObject(bmp_);
}

COLORREF Dib::Pixel(int x, int y) const {
  ::GdiFlush();
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return CLR_INVALID;
  const std::uint32_t v = bits_[y * w_ + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool Dib::InkBox(COLORREF background, RECT* box) const {
  bool any = false;
  RECT b{w_, h_, -1, -1};
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      if (Pixel(x, y) == background) continue;
      any = true;
      b.left = x < b.left ? x : b.left;
      b.top = y < b.top ? y : b.top;
      b.right = x > b.right ? x : b.right;
      b.bottom = y > b.bottom ? y : b.bottom;
    }
  }
  if (any && box) *box = b;
  return any;
}

void Dib::CaptureWindow(HWND hwnd) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  PumpMessages();
  HDC src = ::GetDC(hwnd);
  ::BitBlt(dc_, 0, 0, w_, h_, src, 0, 0, SRCCOPY);
  ::ReleaseDC(hwnd, src);
  ::GdiFlush();
}

void Dib::CaptureAsIs(HWND hwnd) {
  HDC src = ::GetDC(hwnd);
  ::BitBlt(dc_, 0, 0, w_, h_, src, 0, 0, SRCCOPY);
  ::ReleaseDC(hwnd, src);
  ::GdiFlush();
}

bool Dib::SavePng(const std::string& path) const {
  std::vector<COLORREF> pixels;
  pixels.reserve(static_cast<size_t>(w_) * static_cast<size_t>(h_));
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) pixels.push_back(Pixel(x, y));
  }
  return wintest::WritePng(path, w_, h_, pixels);
}

bool Dib::SaveBmp(const std::string& path) const {
  ::GdiFlush();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = w_;
  ih.biHeight = -h_;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  ih.biCompression = BI_RGB;
  const DWORD size = static_cast<DWORD>(w_) * static_cast<DWORD>(h_) * 4;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + size;
  bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
            std::fwrite(bits_, size, 1, f) == 1;
  return std::fclose(f) == 0 && ok;
}

std::string ArtifactPath(const std::string& name) { return wintest::ArtifactPath(name); }
