// Shared by the grid tests: a top-level test window hosting a grid, a grid
// and a data source that log their notifications in order, and a 32-bit
// DIB section to draw into and read pixels from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/window.h"
#include "grid/core/grid_core.h"
#include "grid/data/mem_source.h"

using Log = std::vector<std::string>;

class LoggingSource : public CGridMemSource {
 public:
  explicit LoggingSource(Log* log) : log_(log) {}
  int allowMove = 1;
  int rowsToAdd = 0;   // rows added to the grid when asked for more
  int OnRowsRequested(int rowCount, int rowsMissing, void** param) override;
  void OnCurrentRowChanged(int oldRow, int newRow) override;
  void OnCurrentColumnChanged(int oldCol, int newCol) override;
  int OnCanMoveCurrentCell(int oldCol, int oldRow, int newCol, int newRow) override;

 private:
  Log* log_;
};

class LoggingGrid : public CGridCore {
 public:
  Log log;
  int allowMove = 1;
  int OnCanMoveCurrentCell(int oldCol, int oldRow, int newCol, int newRow) override;
  void OnRowsRequested(int rowCount, int rowsMissing, void* param) override;
  void OnCurrentColumnChanged(int oldCol, int newCol) override;
  void OnCurrentRowChanged(int oldRow, int newRow) override;
  void OnCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow) override;
  int OnCellTypeEvent(int typeIndex, int col, int row, int code, void* param) override;
  void OnPopupMenuCommand(int col, int row, int part, int id) override;
  void OnGridCreated() override;
  void OnSheetCreated(int sheet) override;
};

// A top-level window of the given client size; hidden unless it is to be
// captured (showing a window makes Wine wait for the display).
class TestHost : public framework::CWindow {
 public:
  TestHost(int width, int height, bool visible = false);
  HWND hwnd() const { return GetSafeHwnd(); }
};

// Creates grid as a child filling (0, 0, width, height) of host.
bool CreateHostedGrid(CGridCore& grid, TestHost& host, int width, int height);

// Pumps pending messages so that windows paint.
void PumpMessages();

class Dib {
 public:
  Dib(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~Dib();
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;
  HDC dc() const { return dc_; }
  int width() const { return w_; }
  int height() const { return h_; }
  COLORREF Pixel(int x, int y) const;
  // The box around every pixel differing from the colour; false when none.
  bool InkBox(COLORREF background, RECT* box) const;
  // Copies a window's client area (as on screen) and writes it as a BMP.
  void CaptureWindow(HWND hwnd);
  // Copies what the window shows now, without asking it to repaint.
  void CaptureAsIs(HWND hwnd);
  bool SaveBmp(const std::string& path) const;
  bool SavePng(const std::string& path) const;

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  std::uint32_t* bits_;
};

// The folder screenshots go to, created on demand.
std::string ArtifactPath(const std::string& name);
