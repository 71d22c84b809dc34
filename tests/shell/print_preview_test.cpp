// Printing through the program's own frame (scratch profile, real printer):
// "Print..." with its dialog, the month preview in the main window (what it
// hides, its buttons, its page against the printed one), closing it, the
// preview's own print button, and the print set-up command.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/controls/status_bar.h"
#include "framework/controls/tool_bar.h"
#include "framework/dialogs/message_box.h"
#include "framework/printing/app_printer.h"
#include "framework/printing/print_preview.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "program_fixture.h"
#include "res/resource.h"
#include "shell/app/almacora_app.h"
#include "shell/calendar/cal_frame.h"
#include "shell/calendar/cal_view.h"
#include "shell/printing/cal_print_job.h"
#include "shell/core/print_settings_rules.h"
#include "shell/event_list/grid_view.h"
#include "shell/frame/main_frame.h"
#include "shell/app/private_messages.h"
#include "shell/app/shell_document.h"
#include "tests/shell/print_fixture.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/shell/main_window_start.h"

using printtest::InkOf;
using printtest::kBand;
using printtest::kTypeColour;
using printtest::Near;
using printtest::SelectType;

namespace {

// Plays preview page 0 onto white paper of `width` x `height` pixels.
printtest::Page Played(const framework::CPreviewView& view, int width, int height) {
  wintest::Dib dib(width, height);
  RECT sheet{0, 0, width, height};
  ::FillRect(dib.dc, &sheet, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  EXPECT_TRUE(view.PlayPage(dib.dc, 0, sheet));
  ::GdiFlush();
  return printtest::Page{width, height, dib.Pixels()};
}

// Where a colour makes lines: the x (vertical lines) or y (horizontal)
// positions where more than a third of the band's extent has that colour,
// neighbours merged into their middle.
std::vector<int> Lines(const printtest::Page& p, COLORREF colour, bool vertical) {
  const int n = vertical ? p.width : p.height, m = vertical ? p.height : p.width;
  std::vector<int> found;
  int runStart = -1;
  for (int i = 0; i <= n; ++i) {
    int count = 0;
    if (i < n)
      for (int j = 0; j < m; ++j) count += Near(vertical ? p.At(i, j) : p.At(j, i), colour);
    const bool line = i < n && count > m / 3;
    if (line && runStart < 0) runStart = i;
    if (!line && runStart >= 0) {
      found.push_back((runStart + i - 1) / 2);
      runStart = -1;
    }
  }
  return found;
}

// The index of the cell between lines that holds `at`.
int CellOf(const std::vector<int>& lines, int at) {
  return static_cast<int>(std::upper_bound(lines.begin(), lines.end(), at) - lines.begin());
}

class PrintPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(framework::ThePrinter().HasPrinter()) << "no default printer: is the print server running?";
    store_ = shelltest::QuietSettings("shell_print_preview");
    printtest::BandedCalendarSettings();
    CProgramSettings& s = g_Settings;
    s.DailyReminder = 0;  // its window would stand over the preview's picture
    s.ShowAcknowledgedCalendar = 1;
    s.ShowAcknowledgedList = 1;
    s.ShowState = 1;  // every event listed, past ones too
    s.cal_orientation = 1;
    frame_ = shelltest::StartShownMainWindow(app_);
    ASSERT_NE(frame_, nullptr);
    doc_ = frame_->GetShellDocument();
    ::SetCursorPos(2000, 2000);  // no day pop-up from a pointer left over the calendar
    AddBirthday("Party", 12);
    CDateTime march(1, 3, 2025);
    doc_->UpdateAllViews(nullptr, kHintGoToDate, &march);
    doc_->UpdateAllViews(nullptr, kHintReload);
    wintest::PumpFor(100);
  }
  void TearDown() override {
    printtest::StopPrintingToFile();
    shelltest::EndMainWindow(frame_, app_, store_);
  }
  // A one-time "Birthday" event at 10:00 on that day of March 2025.
  void AddBirthday(const char* name, int day) {
    auto* e = new CCalEvent;
    e->name = name;
    e->type = "Birthday";
    e->oneTime = 1;
    e->start = e->end = CDateTime::FromParts(CDateTime(day, 3, 2025).GetRawJulianDay(), 36000, 0);
    e->nextOccurrence = e->start;
    e->hasNext = 1;
    doc_->Core().events().Append(e);
  }
  // Runs `trigger` with "Print" answered by `act`, then pumps for `ms`; true
  // when the dialog showed.
  static bool WatchPrint(const std::function<void()>& trigger, std::function<void(HWND)> act, DWORD ms) {
    bool shown = false;
    wintest::Drive({[&] {
      HWND h = wintest::FindDialog("Print");
      if (!h) return false;
      shown = true;
      act(h);
      return true;
    }});
    trigger();
    wintest::PumpFor(ms);
    return shown;
  }
  // Print (Ctrl+P's command) with "Print" answered by `act`.
  bool Print(std::function<void(HWND)> act) {
    return WatchPrint([this] { frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_CALENDAR_PRINT, 0)); }, std::move(act), 200);
  }
  // Presses the preview's button; true when "Print" then showed (it is
  // answered OK).
  bool PressAndWatchPrint(UINT button) {
    return WatchPrint([&] { wintest::Click(Bar(), static_cast<int>(button)); },
                      [](HWND h) { wintest::Click(h, IDOK); }, 300);
  }
  void OpenMonthPreview() {
    ASSERT_TRUE(Print([](HWND h) {
      SelectType(h, printcore::kMonthCalendar);
      wintest::Click(h, IDC_PRINT_PREVIEW);
    }));
    ASSERT_NE(frame_->GetPreview(), nullptr);
  }
  HWND Bar() { return frame_->GetPreview()->GetToolBar(); }

  std::unique_ptr<CAlmacoraApp> app_;
  std::unique_ptr<platform::ProfileStore> store_;
  CMainFrame* frame_ = nullptr;
  CShellDocument* doc_ = nullptr;
};

}  // namespace

TEST_F(PrintPreviewTest, MonthPreviewInTheFrameMatchesThePaper) {
  HWND wnd = frame_->GetSafeHwnd();
  HMENU menu = ::GetMenu(wnd);
  OpenMonthPreview();
  framework::CPreviewView& preview = *frame_->GetPreview();
  // Menu, bars and panes give way to the tool bar and the page.
  EXPECT_EQ(::GetMenu(wnd), nullptr);
  EXPECT_FALSE(::IsWindowVisible(frame_->GetToolBar().GetSafeHwnd()));
  EXPECT_FALSE(::IsWindowVisible(frame_->GetStatusBar().GetSafeHwnd()));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(wnd, framework::kIdPaneFirst)));
  ASSERT_NE(Bar(), nullptr);
  EXPECT_EQ(wintest::ItemText(Bar(), ID_PREVIEW_PRINT), "&Print...");
  EXPECT_EQ(preview.GetPageCount(), 1u);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Bar(), ID_PREVIEW_NEXT)));
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Bar(), ID_PREVIEW_ZOOM_OUT)));

  wintest::Shot shot = wintest::TakeShot(wnd, "preview-month");
  RECT view;
  ::GetWindowRect(preview.GetSafeHwnd(), &view);
  RECT frameRect;
  ::GetWindowRect(wnd, &frameRect);
  ASSERT_GT(shot.width, 0);
  EXPECT_EQ(shot.At(view.left - frameRect.left + 2, view.top - frameRect.top + 2), ::GetSysColor(COLOR_APPWORKSPACE));

  // A reload while the preview is open leaves its pages alone.
  doc_->UpdateAllViews(nullptr, kHintReload);
  wintest::Click(Bar(), ID_PREVIEW_ZOOM_IN);
  wintest::PumpFor(50);
  EXPECT_EQ(preview.GetZoom(), 1);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(Bar(), ID_PREVIEW_ZOOM_OUT)));

  // The page played at the printed size against the printed page, 100 dpi.
  const SIZE paper = preview.GetPaperSize(), dpi = preview.GetPrinterDpi();
  printtest::Page played = Played(preview, paper.cx * 100 / dpi.cx, paper.cy * 100 / dpi.cy);
  std::string ps = printtest::PrintTo("preview-compare");
  CCalPrintJob job(*doc_, CDateTime(1, 3, 2025), CCalPage::kMonth, nullptr);
  job.SetDirect(true);
  ASSERT_TRUE(job.Print());
  printtest::Page printed = printtest::Render(ps, 1, "preview-compare");
  ASSERT_NEAR(printed.width, played.width, 2);
  for (bool vertical : {true, false}) {
    std::vector<int> a = Lines(played, kBand, vertical), b = Lines(printed, kBand, vertical);
    ASSERT_EQ(a.size(), b.size()) << (vertical ? "columns" : "rows");
    EXPECT_GE(a.size(), vertical ? 8u : 7u);
    for (size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], 2) << (vertical ? "x " : "y ") << i;
  }
  RECT inkPlayed = InkOf(played, kTypeColour), inkPrinted = InkOf(printed, kTypeColour);
  ASSERT_GE(inkPlayed.right, 0);
  ASSERT_GE(inkPrinted.right, 0);
  std::vector<int> columns = Lines(printed, kBand, true), rows = Lines(printed, kBand, false);
  EXPECT_EQ(CellOf(columns, (inkPlayed.left + inkPlayed.right) / 2), CellOf(columns, (inkPrinted.left + inkPrinted.right) / 2));
  EXPECT_EQ(CellOf(rows, (inkPlayed.top + inkPlayed.bottom) / 2), CellOf(rows, (inkPrinted.top + inkPrinted.bottom) / 2));

  // Close: the frame comes back and "Print" opens again.
  EXPECT_TRUE(PressAndWatchPrint(ID_PREVIEW_CLOSE));
  EXPECT_EQ(frame_->GetPreview(), nullptr);
  EXPECT_EQ(::GetMenu(wnd), menu);
  EXPECT_TRUE(::IsWindowVisible(frame_->GetStatusBar().GetSafeHwnd()));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(wnd, framework::kIdPaneFirst)));
}

TEST_F(PrintPreviewTest, PreviewPrintButtonPrintsOnceThenPrintAsksAgain) {
  OpenMonthPreview();
  std::string ps = printtest::PrintTo("preview-print");
  EXPECT_FALSE(PressAndWatchPrint(ID_PREVIEW_PRINT)) << "the preview's print reopened \"Print\"";
  EXPECT_EQ(frame_->GetPreview(), nullptr);
  EXPECT_EQ(printtest::Pages(ps), 1);
  EXPECT_FALSE(frame_->IsPreviewPrintPending());
  // The next Print asks again and, closed, prints nothing.
  ::DeleteFileA(ps.c_str());
  EXPECT_TRUE(Print([](HWND h) { wintest::Click(h, IDOK); }));
  EXPECT_EQ(::GetFileAttributesA(ps.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PrintPreviewTest, PrintDispatchedThroughTheFrame) {
  // Month print from "Print": one page, no system dialog (the printer was
  // chosen in "Print").
  std::string ps = printtest::PrintTo("frame-print-month");
  EXPECT_TRUE(Print([](HWND h) {
    SelectType(h, printcore::kMonthCalendar);
    wintest::Click(h, IDC_PRINT_PRINT);
  }));
  EXPECT_EQ(printtest::Pages(ps), 1);
  EXPECT_NE(printtest::Text(ps).find("March 2025"), std::string::npos);

  // The list as shown, through the system's print dialog answered OK.
  ps = printtest::PrintTo("frame-print-list");
  bool systemDialog = false;
  wintest::Drive({[&] {
                    HWND h = wintest::FindDialog("Print");
                    if (!h || !::GetDlgItem(h, IDC_PRINT_TYPE)) return false;
                    SelectType(h, printcore::kCurrentList);
                    wintest::Click(h, IDC_PRINT_PRINT);
                    return true;
                  },
                  [&] {
                    HWND h = wintest::FindDialog("Print");
                    if (!h || ::GetDlgItem(h, IDC_PRINT_TYPE)) return false;
                    systemDialog = true;
                    ::PostMessageA(h, WM_COMMAND, IDOK, 0);
                    return true;
                  }});
  frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_CALENDAR_PRINT, 0));
  wintest::PumpFor(200);
  EXPECT_TRUE(systemDialog);
  EXPECT_EQ(printtest::Pages(ps), 1);
  EXPECT_NE(printtest::Text(ps).find("Party"), std::string::npos);

  // The selected row's event: 32910 prints it; 40010 through the frame is
  // the notification-area menu's Restore Window and prints nothing.
  ps = printtest::PrintTo("frame-print-event");
  frame_->SetActiveView(frame_->GetListView());
  ASSERT_GE(frame_->GetListView()->GetSelectedRow(), 0);
  frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_CALENDAR_PRINT_EVENT, 0));
  EXPECT_EQ(printtest::Pages(ps), 1);
  ::DeleteFileA(ps.c_str());
  frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_TRAY_RESTORE, 0));
  wintest::PumpFor(100);
  EXPECT_EQ(::GetFileAttributesA(ps.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PrintPreviewTest, WeekPageStartsOnTheShownWeekOrFromTheMonthSheetOnTheShownDay) {
  struct Case {
    bool weekSheet;
    const char* title;
  };
  // Wednesday 12 March 2025 shown; weeks start on Sunday.
  g_Settings.CalendarStartDay = 0;
  for (const Case& c : {Case{false, "March 12 - 18, 2025"}, Case{true, "March 9 - 15, 2025"}}) {
    CDateTime day(12, 3, 2025);
    doc_->UpdateAllViews(nullptr, kHintMonthWeek, reinterpret_cast<void*>(static_cast<INT_PTR>(c.weekSheet)));
    doc_->UpdateAllViews(nullptr, kHintGoToDate, &day);
    std::string ps = printtest::PrintTo(c.weekSheet ? "frame-print-week-sheet" : "frame-print-week-from-month");
    EXPECT_TRUE(Print([](HWND h) {
      SelectType(h, printcore::kWeekCalendar);
      wintest::Click(h, IDC_PRINT_PRINT);
    }));
    ASSERT_EQ(printtest::Pages(ps), 1) << c.title;
    EXPECT_NE(printtest::Text(ps).find(c.title), std::string::npos) << c.title;
  }
}

TEST_F(PrintPreviewTest, CalendarNeverShownIsNotPrinted) {
  shelltest::EndMainWindow(frame_, app_, store_);
  store_ = shelltest::QuietSettings("shell_print_preview");
  g_Settings.DailyReminder = 0;
  g_Settings.CalMode = 2;  // the day layout: the month grid is made but never shown
  frame_ = shelltest::StartShownMainWindow(app_);
  ASSERT_NE(frame_, nullptr);
  ASSERT_TRUE(frame_->GetCalFrame()->GetCalView()->GetGrid().IsFirstFillPending());
  for (UINT button : {IDC_PRINT_PRINT, IDC_PRINT_PREVIEW}) {
    std::string ps = printtest::PrintTo("frame-print-never-shown");
    std::string text;
    wintest::Shot shot;
    wintest::Drive({[&] {
                      HWND h = wintest::FindDialog("Print");
                      if (!h || !::GetDlgItem(h, IDC_PRINT_TYPE)) return false;
                      SelectType(h, printcore::kMonthCalendar);
                      wintest::Click(h, static_cast<int>(button));
                      return true;
                    },
                    [&] {
                      HWND box = wintest::FindDialog("Calendar Printing");
                      if (!box) return false;
                      text = wintest::ItemText(box, 0xFFFF);
                      shot = wintest::TakeShot(box, "calendar-printing-refused");
                      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                      return true;
                    }});
    frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_CALENDAR_PRINT, 0));
    wintest::PumpFor(300);
    wintest::Drive({});
    EXPECT_EQ(text,
              "You may only print the Almacora calendar after it has been shown on-screen.\n"
              "Please view the on-screen calendar and retry printing.")
        << button;
    ASSERT_GT(shot.width, 10) << button;
    EXPECT_EQ(shot.At(shot.width / 2, shot.height - 4), ::GetSysColor(COLOR_BTNFACE)) << button;
    EXPECT_EQ(::GetFileAttributesA(ps.c_str()), INVALID_FILE_ATTRIBUTES) << button;
    EXPECT_EQ(frame_->GetPreview(), nullptr) << button;
  }
}

TEST_F(PrintPreviewTest, PrintSetupCancelKeepsThePrinter) {
  const std::string name = framework::ThePrinter().Name();
  HGLOBAL mode = framework::ThePrinter().DevMode();
  bool shown = false;
  wintest::Drive({[&] {
    HWND h = wintest::FindDialog("Print Setup");
    if (!h) return false;
    shown = true;
    ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    return true;
  }});
  frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT_SETUP, 0));
  EXPECT_TRUE(shown);
  EXPECT_EQ(framework::ThePrinter().Name(), name);
  EXPECT_EQ(framework::ThePrinter().DevMode(), mode);
}

TEST_F(PrintPreviewTest, WithoutAPrinterThePreviewSaysSoOnce) {
  const std::string title = framework::GetMessageBoxTitle();
  framework::SetMessageBoxTitle("PreviewTest");
  std::vector<std::string> boxes;
  auto answer = [&] {
    for (const char* caption : {"PreviewTest", "Print Debug"})
      if (HWND box = wintest::FindDialog(caption)) {
        boxes.push_back(wintest::ItemText(box, 0xFFFF));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      }
    return false;
  };
  wintest::Drive({[&] {
                    HWND h = wintest::FindDialog("Print");
                    if (!h) return false;
                    SelectType(h, printcore::kCurrentList);
                    framework::ThePrintSeams().noPrinter = true;
                    wintest::Click(h, IDC_PRINT_PREVIEW);
                    return true;
                  },
                  answer, answer, answer});
  frame_->SendMsg(WM_COMMAND, MAKEWPARAM(ID_CALENDAR_PRINT, 0));
  wintest::PumpFor(1500);
  framework::ThePrintSeams() = framework::PrintSeams{};
  wintest::Drive({});
  framework::SetMessageBoxTitle(title);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], framework::kNoPrinterMessage);
  EXPECT_EQ(frame_->GetPreview(), nullptr);
}

TEST_F(PrintPreviewTest, ListPreviewTurnsPagesAndReopensPrint) {
  // Text 200 points high: two rows a page, so three rows make two pages.
  CProgramSettings::ParseFont("Arial,2000,400,0", &g_Settings.PrintListItemLogFont);
  for (int day : {13, 14}) AddBirthday("More", day);
  doc_->UpdateAllViews(nullptr, kHintReload);
  ASSERT_TRUE(Print([](HWND h) {
    SelectType(h, printcore::kCurrentList);
    wintest::Click(h, IDC_PRINT_PREVIEW);
  }));
  ASSERT_NE(frame_->GetPreview(), nullptr);
  framework::CPreviewView& preview = *frame_->GetPreview();
  EXPECT_GE(preview.GetPageCount(), 2u);
  struct Step {
    UINT button;
    UINT page;
    bool next, prev;
  } steps[] = {{ID_PREVIEW_NEXT, 1, preview.GetPageCount() > 2, true}, {ID_PREVIEW_PREV, 0, true, false}};
  for (const Step& step : steps) {
    wintest::Click(Bar(), step.button);
    wintest::PumpFor(50);
    EXPECT_EQ(preview.GetCurrentPage(), step.page);
    EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(Bar(), ID_PREVIEW_NEXT)) != FALSE, step.next);
    EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(Bar(), ID_PREVIEW_PREV)) != FALSE, step.prev);
  }
  EXPECT_TRUE(PressAndWatchPrint(ID_PREVIEW_CLOSE));
  EXPECT_EQ(frame_->GetPreview(), nullptr);
}
