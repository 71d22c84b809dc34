// CGridDropListType ("Drop list cell"): a cell taking one of the choices
// in its label, each choice ended by "\n" (text after the last "\n" is not
// a choice). The cell shows a drop button; the button, Enter or Ctrl+Down
// open a list below the cell (a CGridDropList, child of the cell area,
// living only while open). Code 100 is reported with the list of choices
// before it opens (the grid may change them), code 101 with the chosen
// text (zero keeps the cell as it was). Registered by every grid as
// index 1; its text does not overflow into neighbours.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grid/celltypes/drop_button_type.h"

class CGridDropList;

class CGridDropListType : public CGridDropButtonType {
 public:
  enum : int { kListOpening = 100, kItemChosen = 101, kNoButtonStyle = 0x200 };
  // The open cell's marks: none, and just closed without a choice.
  enum : int { kNone = -1, kJustClosed = -2 };

  CGridDropListType();
  ~CGridDropListType() override;

  std::string GetName() const override { return "Drop list cell"; }
  GUID GetTypeGuid() const override;
  int AdjustEditRect(RECT* rect) override;
  int WantsKey(UINT vk) const override { return vk == VK_RETURN; }
  int OnLeftClick(int col, int row, int pressed, const RECT* rect, POINT pt) override;
  int OnDoubleClick(int col, int row, const RECT* rect, POINT pt) override;
  int OnKeyDown(int col, int row, UINT* key) override;
  int OnCharTyped(int col, int row, UINT* ch) override;
  void OnLeaveCell(int col, int row, const CGridCell& cell) override;
  void OnDraw(HDC dc, int col, int row, const RECT* rect, const CGridCell& cell, int selected, int current) override;

  // Splits a label into its choices.
  static std::vector<std::string> SplitChoices(const char* label);
  // Opens the list for the current cell; nothing when one is open.
  void ShowList();
  bool IsListOpen() const;
  HWND GetListWindow() const;

  // Called by the list: closed (chosen or not), and its window gone.
  void OnListClosed(bool chosen);
  void OnListGone();
  // Code 101, then the choice written into the open cell: 0 stored, 1 not
  // wanted by the grid, 2 refused by the store (the cell keeps its text).
  int OnChoice(const std::string& text);

 private:
  int openCol_ = kNone, openRow_ = kNone;
  std::unique_ptr<CGridDropList> list_;
};
