// CGridView: the event list view, the first pane (0xE900) of the main
// window. Every listed event of the document is one row at its next
// occurrence (days left, age, type ...), in one of five orders or the order
// of a clicked heading. It carries the commands on the selected row, the
// Find dialog over the list and the list text file, and reacts to the
// view hints the rest of the program sends.
//
// Rows hold the events (not owned) and are rebuilt on every reload (hint
// 3): between reloads, rows are matched to events by the event itself or
// its in-memory serial number, never by array index, which a delete
// renumbers. Hints taken: 3 reload, 4 select (a COccurrenceRef), 6 save
// the column layout, 9 modify and 10 delete (a COccurrenceRef), 13 fonts,
// 14 drop a row (the object is the event's serial number as a value), 16
// write the list text file. Hints sent, with this view as the sender: 17
// reloaded, 2 or 15 (marked) with the selected row's COccurrenceRef, 5 no
// selection or no next occurrence. Work that opens the event editor, the details, printing or
// export goes through the main window's IEventOperations; while those are
// not installed the commands are grey.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/dialogs/common_dialogs.h"
#include "framework/docview/view.h"
#include "framework/gdi/gdi.h"
#include "model/events/occurrence_ref.h"
#include "shell/event_list/event_list_grid.h"
#include "shell/event_list/event_list_rows.h"
#include "shell/commands/event_operations.h"

class CAlmacoraDoc;
class CCalEvent;
class CShellDocument;

namespace eventlist {
class CFindDialogWindow;
}

class CGridView : public framework::CView, private eventlist::IEventListGridOwner {
 public:
  static constexpr UINT kGridId = 123;

  CGridView();
  ~CGridView() override;

  void OnInitialUpdate() override;
  void OnUpdate(framework::CView* sender, LPARAM hint, void* object) override;

  // ---- What the view shows (for the frame, printing and tests).
  eventlist::CEventListGrid& Grid() { return grid_; }
  const std::vector<COccurrenceRef>& Rows() const { return rows_; }
  // The selected row, or -1 when the list is empty.
  int GetSelectedRow() const;
  // The current order: the Sort menu's mode (3..7), 0 after a heading click.
  int GetSortMode() const { return sortMode_; }
  const std::vector<int>& GetSortKeys() const { return sortKeys_; }
  // The find dialog while it is open, else null.
  HWND GetFindDialog() const;
  // What a list print prints: the date-range list when the settings' range
  // flag is set, else the rows as shown.
  std::vector<COccurrenceRef> PrintEntries() const;
  // True while the last list job was started as a preview.
  bool GetPreviewFlag() const { return previewFromDialog_; }

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // IEventListGridOwner.
  void OnRowSelected(int row, bool mark) override;
  void OnHeadingClicked(int gridColumn) override;
  void OnRowDoubleClicked(int row) override;
  void OnRowCommand(int row, UINT command) override;
  bool IsRowCommandEnabled(UINT command) const override;
  const COccurrenceRef* RowOccurrence(int row) const override;

  // Filling (grid_view.cpp).
  CShellDocument* ShellDoc() const;
  CAlmacoraDoc* Core() const;
  void Refill();
  void SetRowCells(int row);
  void SelectRowQuietly(int row);
  // Hint 2 (or 15 with mark) for the selected row, 5 without a next
  // occurrence or a row.
  void SendSelectionHint(bool mark);
  void Send(LPARAM hint, void* object = nullptr);
  void Remember(const CCalEvent* event);
  int RowOfSerial(int serial) const;

  // Layout and fonts (grid_view_layout.cpp).
  void SetUpGrid(int cx, int cy);
  void SetUpColors();
  void MakeFonts(bool rebuild);
  // Measures what each column's heading and widest row text need in the
  // current fonts, then lays the columns out.
  void FitColumnsToFonts();
  // Each column at its own width, widened to what its texts need (a
  // column widened so, and not resized since, narrows again as far as its
  // own width when they need less); the name column then fills the rest of
  // the pane, so the rows reach its right edge.
  void LayOutColumns();
  void SetHeadings();
  void ColorSortHeadings();
  void ApplyStoredColumns();
  void SaveColumns();
  int GridColumnOf(int dataColumn);

  // Sorting (grid_view.cpp).
  void ApplySort(const std::vector<int>& keys, int mode);
  void OnSortCommand(UINT id);
  void OnUpdateSort(framework::CCmdUI* ui);

  // Commands on the selected row (grid_view_commands.cpp).
  bool SelectedOccurrence(COccurrenceRef* out) const;
  void OnAcknowledge();
  void OnUnacknowledge();
  void OnReset();
  void OnDelete();
  void OnModify();
  void OnDetails();
  void OnAddCopy();
  void OnPrintEvent();
  void OnExport();
  void OnUpdateOperation(framework::CCmdUI* ui);
  void DeleteRow(int row);
  void RemoveRow(int row);

  // Find (grid_view_find.cpp).
  void OnSearch();
  LRESULT OnFindMessage(WPARAM wParam, LPARAM lParam);
  void FindNext(const std::string& text, bool down, bool matchCase);
  void ShowFindMessage(const char* text);

  // Printing (grid_view_print.cpp): 57607 prints through the system's
  // print dialog, 57609 previews; a closed preview brings "Print" back.
  void OnFilePrint();
  void OnFilePrintPreview();

  // The list text file (hint 16).
  void WriteTextFile();

  eventlist::CEventListGrid grid_;
  HBITMAP alarmMark_ = nullptr, notesMark_ = nullptr, snoozedMark_ = nullptr, acknowledgedMark_ = nullptr;
  framework::CFont headingFont_, itemFont_;

  std::vector<COccurrenceRef> rows_;
  std::vector<int> sortKeys_;
  int sortMode_ = 3;
  // The event whose row is selected after the next refill, or null. Only
  // compared, never followed: a calendar closed meanwhile frees its events
  // before the reload that refills the list.
  const CCalEvent* remembered_ = nullptr;
  // The width each data column's texts need in the current fonts (0: not
  // measured). Per grid position: the column's own width (stored or set by
  // the user), that width widened to what its texts need, and the width
  // the last layout gave it (0 before the first), the name's including
  // the room left in the pane.
  int neededWidths_[eventlist::kColumnCount] = {};
  int ownWidths_[eventlist::kColumnCount] = {};
  int fittedWidths_[eventlist::kColumnCount] = {};
  int laidWidths_[eventlist::kColumnCount] = {};

  // Find state.
  std::unique_ptr<framework::CFindReplaceDialog> find_;
  std::unique_ptr<eventlist::CFindDialogWindow> findWindow_;
  std::string lastText_;
  bool lastMatchCase_ = false;
  bool lastDown_ = true;
  int passStart_ = -1;
  int passHits_ = 0;
  bool previewFromDialog_ = false;
};
