// The month view's cost with a large calendar: 10,000 events (7,000
// yearly, 1,500 one-time, 800 monthly, 500 weekly, 200 daily). Times the
// page build, the grid's fill and one paint of a 1000 x 700 month grid,
// the week page and the clipboard month picture. The native tree times the
// page builds only.
#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/recurrence/recurrence_rule.h"
#include "shell/core/cal_page.h"
#ifdef _WIN32
#include "shell/calendar/cal_page_painter.h"
#include "shell/calendar/month_grid_ctrl.h"
#endif

namespace {

class Source : public ICalPageSource {
 public:
  std::vector<CCalEvent*> events;
  const std::vector<CCalEvent*>& GetPageEvents() const override { return events; }
  int IsTypeHidden(const std::string&) const override { return 0; }
  int GetDisplayMode() const override { return 1; }
};

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

CCalEvent* Make(int n, int16_t frequency, const CDateTime& start) {
  auto* e = new CCalEvent;
  e->name = "Event " + std::to_string(n);
  e->start = start;
  e->end = start;
  e->nextOccurrence = start;
  if (frequency < 0) {
    e->oneTime = 1;
  } else {
    e->oneTime = 0;
    e->recurrence.GetRule()->frequency = frequency;
  }
  return e;
}

}  // namespace

int main() {
  g_Settings.ShowAcknowledgedCalendar = 1;
  Source source;
  std::vector<std::unique_ptr<CCalEvent>> owned;
  int n = 0;
  auto add = [&](int count, int16_t frequency) {
    for (int i = 0; i < count; ++i, ++n) {
      CDateTime start(1 + n % 28, 1 + n % 12, 2000 + n % 20);
      start.SetTime(n % 24, 0, 0);
      owned.emplace_back(Make(n, frequency, start));
      source.events.push_back(owned.back().get());
    }
  };
  add(7000, CRecurrenceRule::kYearly);
  add(1500, -1);
  add(800, CRecurrenceRule::kMonthly);
  add(500, CRecurrenceRule::kWeekly);
  add(200, CRecurrenceRule::kDaily);

  CCalPage page;
  auto t = std::chrono::steady_clock::now();
  page.Build(source, CDateTime(1, 3, 2025), CCalPage::kMonth);
  const double build = Ms(t);

  CCalPage week;
  t = std::chrono::steady_clock::now();
  week.Build(source, CDateTime(9, 3, 2025), CCalPage::kWeek);
  const double weekBuild = Ms(t);
  std::printf("events %d\n", n);
  std::printf("month page build      %8.2f ms\n", build);
  std::printf("week page build       %8.2f ms\n", weekBuild);
#ifdef _WIN32
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  framework::CWindow::RegisterClass(inst, "MonthBenchHost");
  framework::CWindow host;
  host.Create("MonthBenchHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 0, 1000, 700, nullptr, nullptr, inst);
  CMonthGridCtrl grid;
  grid.SetPageSource(&source);
  grid.CreateGrid(WS_CHILD | WS_VISIBLE, RECT{0, 0, 1000, 700}, host.GetSafeHwnd(), 123);
  grid.GoTo(1, 2, 2025);
  t = std::chrono::steady_clock::now();
  grid.GoTo(1, 3, 2025);
  ::RedrawWindow(grid.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double month = Ms(t);

  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, 800, 600);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  t = std::chrono::steady_clock::now();
  calpaint::PaintMonth(page, mem, RECT{0, 0, 800, 600}, calpaint::kPictureScheme);
  const double picture = Ms(t);
  t = std::chrono::steady_clock::now();
  calpaint::PaintWeek(week, mem, RECT{0, 0, 800, 600}, calpaint::kPrintScheme);
  const double weekPaint = Ms(t);
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);

  std::printf("month build+fill+paint %7.2f ms (1000 x 700 grid)\n", month);
  std::printf("month picture paint   %8.2f ms (800 x 600)\n", picture);
  std::printf("week page paint       %8.2f ms (800 x 600)\n", weekPaint);
  host.DestroyWindow();
#endif
  return 0;
}
