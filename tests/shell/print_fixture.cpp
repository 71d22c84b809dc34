#include "tests/shell/print_fixture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "framework/printing/app_printer.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "shell/core/print_settings_rules.h"
#include "tests/support/win/png_file.h"

namespace printtest {

namespace {

// Wine's Z: drive is the Unix root.
std::string UnixPath(const std::string& path) {
  std::string p = path.size() > 2 && path[1] == ':' ? path.substr(2) : path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the renderer into `out`. Through Wine a Unix program's exit is not
// seen, so the renderer writes beside `out` and a shell renames the file
// when it is complete; this waits (up to a minute) for that name.
void RunGs(const std::string& args, const std::string& out) {
  ::DeleteFileA(out.c_str());
  std::string unixOut = UnixPath(out);
  std::string script = "gs -q -dBATCH -dNOPAUSE -dSAFER -sOutputFile='" + unixOut + ".part' " + args + " && mv '" +
                       unixOut + ".part' '" + unixOut + "'";
  std::string cmd = "/bin/sh -c \"" + script + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA("/bin/sh", &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
  for (int i = 0; i < 600 && ::GetFileAttributesA(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
}

}  // namespace

std::string PrintTo(const std::string& name) {
  std::string path = wintest::ArtifactPath(name + ".ps");
  ::DeleteFileA(path.c_str());
  framework::ThePrintSeams().outputFile = path;
  return path;
}

void StopPrintingToFile() { framework::ThePrintSeams().outputFile.clear(); }

int Pages(const std::string& psPath) {
  std::string s = ReadAll(psPath);
  int n = 0;
  for (size_t at = s.find("%%Page:"); at != std::string::npos; at = s.find("%%Page:", at + 1)) ++n;
  return n;
}

std::string Text(const std::string& psPath) {
  std::string out = psPath + ".txt";
  RunGs("-sDEVICE=txtwrite '" + UnixPath(psPath) + "'", out);
  return ReadAll(out);
}

bool Page::HasInk(int left, int top, int right, int bottom) const {
  for (int y = std::max(0, top); y < std::min(height, bottom); ++y)
    for (int x = std::max(0, left); x < std::min(width, right); ++x) {
      COLORREF c = At(x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 0xC0) return true;
    }
  return false;
}

void SelectType(HWND dlg, int type) {
  LRESULT at = ::SendDlgItemMessageA(dlg, IDC_PRINT_TYPE, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(printcore::kReportTypeNames[type]));
  ::SendDlgItemMessageA(dlg, IDC_PRINT_TYPE, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_PRINT_TYPE, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dlg, IDC_PRINT_TYPE)));
}

void BandedCalendarSettings() {
  CProgramSettings& s = g_Settings;
  s.rgb_CalLineColor = s.rgb_CalHeadingBkColor = static_cast<int>(kBand);
  s.cal_line_width = 2;
  s.ColorCodePrinting = 1;
  s.ColorCode = 1;
  s.CalendarStartDay = 0;
  s.Metric = 1;
  s.cal_margin_left = s.cal_margin_top = s.cal_margin_right = s.cal_margin_bottom = 2540;
  s.EventTypeNames = {"Birthday"};
  s.EventTypeColors = {kTypeColour};
}

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}

RECT InkOf(const Page& page, COLORREF colour) {
  RECT box{page.width, page.height, -1, -1};
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x)
      if (Near(page.At(x, y), colour)) {
        box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x), box.bottom = std::max<LONG>(box.bottom, y);
      }
  return box;
}

Page Render(const std::string& psPath, int page, const std::string& pngName) {
  std::string ppm = psPath + ".ppm";
  RunGs("-sDEVICE=ppmraw -r100 -dFirstPage=" + std::to_string(page) + " -dLastPage=" + std::to_string(page) + " '" +
            UnixPath(psPath) + "'",
        ppm);
  Page result;
  std::string data = ReadAll(ppm);
  // "P6", width, height, maximum, each after blanks and "#" comments.
  size_t at = 0;
  auto token = [&]() {
    for (;;) {
      while (at < data.size() && std::isspace(static_cast<unsigned char>(data[at]))) ++at;
      if (at < data.size() && data[at] == '#') {
        while (at < data.size() && data[at] != '\n') ++at;
        continue;
      }
      break;
    }
    size_t begin = at;
    while (at < data.size() && !std::isspace(static_cast<unsigned char>(data[at]))) ++at;
    return data.substr(begin, at - begin);
  };
  std::string magic = token();
  result.width = std::atoi(token().c_str());
  result.height = std::atoi(token().c_str());
  token();
  ++at;
  if (magic != "P6" || result.width <= 0 || result.height <= 0) return Page{};
  size_t count = static_cast<size_t>(result.width) * result.height;
  if (data.size() < at + count * 3) return Page{};
  result.pixels.resize(count);
  for (size_t i = 0; i < count; ++i) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(data[at + i * 3 + k]); };
    result.pixels[i] = RGB(b(0), b(1), b(2));
  }
  // A landscape job is drawn across portrait paper: turn it upright
  // (clockwise), as the page is read.
  if (ReadAll(psPath).find("%%Orientation: Landscape") != std::string::npos) {
    Page upright;
    upright.width = result.height;
    upright.height = result.width;
    upright.pixels.resize(count);
    for (int y = 0; y < upright.height; ++y)
      for (int x = 0; x < upright.width; ++x)
        upright.pixels[static_cast<size_t>(y) * upright.width + x] = result.At(y, result.height - 1 - x);
    result = std::move(upright);
  }
  wintest::WritePng(wintest::ArtifactPath(pngName + ".png"), result.width, result.height, result.pixels);
  return result;
}

}  // namespace printtest
