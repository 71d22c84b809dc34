// The print command loop on the real default printer, each job written to a
// PostScript file whose page marks are counted.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/dialogs/message_box.h"
#include "framework/printing/app_printer.h"
#include "framework/printing/print_job.h"
#include "tests/support/win/dialog_driver.h"

namespace {

class PagesClient : public framework::CPrintClient {
 public:
  UINT pages = 3;
  std::vector<std::string> log;
  bool OnPreparePrinting(framework::CPrintInfo& info) override {
    info.direct = true;
    info.SetMaxPage(pages);
    return DoPreparePrinting(info, nullptr);
  }
  void OnBeginPrinting(HDC, framework::CPrintInfo&) override { log.push_back("begin"); }
  void OnPrint(HDC dc, framework::CPrintInfo& info) override {
    log.push_back("page" + std::to_string(info.currentPage));
    ::Rectangle(dc, 100, 100, 600, 600);
  }
  void OnEndPrinting(HDC, framework::CPrintInfo&) override { log.push_back("end"); }
};

std::string OutputPath() {
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "almacora_print_job.ps";
}

int PageMarks(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string s = text.str();
  int n = 0;
  for (size_t at = s.find("%%Page:"); at != std::string::npos; at = s.find("%%Page:", at + 1)) ++n;
  return n;
}

}  // namespace

TEST(PrintJob, PagesFailuresAndNoPrinter) {
  ASSERT_TRUE(framework::ThePrinter().HasPrinter()) << "no default printer: is the print server running?";
  EXPECT_FALSE(framework::ThePrinter().Name().empty());
  struct Case {
    const char* name;
    UINT failOn;
    bool noPrinter;
    bool result;
    std::vector<std::string> log;
    int pageMarks;  // -1: not checked (aborted documents)
  } cases[] = {
      {"three pages", 0, false, true, {"begin", "page1", "page2", "page3", "end"}, 3},
      {"EndPage fails on 2", 2, false, false, {"begin", "page1", "page2", "end"}, -1},
      {"no printer", 0, true, false, {}, -1},
  };
  framework::SetMessageBoxTitle("PrintJobTest");
  for (const Case& c : cases) {
    std::string path = OutputPath();
    ::DeleteFileA(path.c_str());
    framework::PrintSeams& seams = framework::ThePrintSeams();
    seams = framework::PrintSeams{path, c.failOn, c.noPrinter};
    bool sawMessage = false;
    if (c.noPrinter)
      wintest::Drive({[&] {
        HWND box = wintest::FindDialog("PrintJobTest");
        if (!box) return false;
        sawMessage = true;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      }});
    PagesClient client;
    framework::CPrintInfo info;
    EXPECT_EQ(framework::RunPrintJob(client, info, nullptr), c.result) << c.name;
    EXPECT_EQ(client.log, c.log) << c.name;
    EXPECT_EQ(sawMessage, c.noPrinter) << c.name;
    if (c.pageMarks >= 0) {
      EXPECT_EQ(PageMarks(path), c.pageMarks) << c.name;
    }
  }
  framework::ThePrintSeams() = framework::PrintSeams{};
}

TEST(AppPrinter, OrientationAndDc) {
  framework::CAppPrinter& printer = framework::ThePrinter();
  for (int orientation : {DMORIENT_LANDSCAPE, DMORIENT_PORTRAIT}) {
    ASSERT_TRUE(printer.SetOrientation(orientation));
    EXPECT_EQ(printer.Orientation(), orientation);
    HDC dc = printer.CreateDC();
    ASSERT_NE(dc, nullptr);
    int w = ::GetDeviceCaps(dc, PHYSICALWIDTH), h = ::GetDeviceCaps(dc, PHYSICALHEIGHT);
    EXPECT_EQ(w > h, orientation == DMORIENT_LANDSCAPE) << w << "x" << h;
    EXPECT_EQ(::GetDeviceCaps(dc, LOGPIXELSX), 300);
    ::DeleteDC(dc);
  }
}
