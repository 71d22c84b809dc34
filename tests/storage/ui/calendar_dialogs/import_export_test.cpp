// The import and export dialogs as the user meets them: what each offers
// from the stored settings, what it stores, and where it keeps the user.
#include <windows.h>
// The calendar file's CreateFile, not the system's macro.
#undef CreateFile

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/ui/export_data_dlg.h"
#include "storage/ui/export_select_dlg.h"
#include "storage/ui/ical_error_dlg.h"
#include "storage/ui/import_text_dlg.h"
#include "storage/ui/import_type_dlg.h"
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;
using wintest::PopupOf;

namespace {

std::vector<std::string> ListItems(HWND dlg, int id) {
  std::vector<std::string> items;
  HWND list = ::GetDlgItem(dlg, id);
  for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    char text[256] = "";
    ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

bool Enabled(HWND dlg, int id) { return ::IsWindowEnabled(::GetDlgItem(dlg, id)) != FALSE; }

// A pixel of control `id` in the shot, `dx` in from its top left corner.
COLORREF PixelIn(const wintest::Shot& shot, HWND dlg, int id, int dx) {
  RECT item, win;
  ::GetWindowRect(::GetDlgItem(dlg, id), &item);
  ::GetWindowRect(dlg, &win);
  return shot.At(item.left - win.left + dx, item.bottom - win.top - dx);
}

class ImportExport : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    storagetest::StorageTest::SetUp();
    CProgramSettings& s = g_Settings;
    s.ImportColumnDelimeter = ",";
    s.ImportDateDelimeter = "/";
    s.ImportDateOrder = 0;
    s.ImportLeadTime = 7;
    s.ImportLeadUnits = "Days";
    s.ImportDefaultFreq = 0;
  }
};

TEST_F(ImportExport, ChoosersListTheirEntriesAndDescriptions) {
  {
    CExportSelect dlg;
    std::vector<std::string> items;
    std::string first;
    COLORREF list = 0;
    Drive({[&] {
      HWND h = FindDialog("Event Export");
      if (!h) return false;
      items = ListItems(h, IDC_EXPORT_SELECT_LIST);
      first = ItemText(h, IDC_EXPORT_SELECT_DESCRIPTION);
      list = PixelIn(wintest::TakeShot(h, "export-select"), h, IDC_EXPORT_SELECT_LIST, 3);
      ::SendDlgItemMessageA(h, IDC_EXPORT_SELECT_LIST, LB_SETCURSEL, 1, 0);
      Click(h, IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(items, (std::vector<std::string>{"iCalendar File (.ics)", "Text File"}));
    EXPECT_EQ(first, CExportSelect::Description(0));
    EXPECT_EQ(std::string(CExportSelect::Description(1)).substr(0, 43), "Exports events to a delimited text file.  E");
    EXPECT_EQ(dlg.choice, 1);
    EXPECT_EQ(list, RGB(255, 255, 255));
  }
  for (int pick = -1; pick < 4; ++pick) {
    CImportTypeDlg dlg;
    std::vector<std::string> items;
    std::string description;
    Drive({[&] {
      HWND h = FindDialog("Event Import");
      if (!h) return false;
      items = ListItems(h, IDC_IMPORT_TYPE_LIST);
      description = ItemText(h, IDC_IMPORT_TYPE_DESCRIPTION);
      if (pick == 0) wintest::TakeShot(h, "import-type");
      if (pick >= 0) ::SendDlgItemMessageA(h, IDC_IMPORT_TYPE_LIST, LB_SETCURSEL, static_cast<WPARAM>(pick), 0);
      Click(h, pick < 0 ? IDCANCEL : IDOK);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), pick < 0 ? IDCANCEL : IDOK);
    EXPECT_EQ(items, (std::vector<std::string>{"iCalendar File (.ics)", "Almacora Event File (.akv)", "Text File",
                                               "vCalendar File (.vcs)"}));
    EXPECT_EQ(description, CImportTypeDlg::Description(0));
    EXPECT_EQ(dlg.choice, pick);
  }
}

TEST_F(ImportExport, ExportDataOpensOnTheSettingsAndKeepsTheUserOnNoOrABadName) {
  const std::string existing = Path("list.txt");
  std::ofstream(existing) << "old";
  const struct {
    std::string name;
    int button;
    int result;
    const char* message;
  } cases[] = {
      {existing, IDNO, IDCANCEL, "File Exists.   Overwrite?"},
      {"C:\\nodir\\x.txt", IDOK, IDCANCEL, "Could not write the file \"C:\\nodir\\x.txt\"."},
      {existing, IDYES, IDOK, "File Exists.   Overwrite?"},
  };
  for (const auto& c : cases) {
    g_Settings.ExportFileFormat = 0;
    g_Settings.ExportDelimiter = '|';
    CExportDataDlg dlg;
    std::string written;
    dlg.writeList = [&](const std::string& path) { written = path; };
    bool delimiterOn = true, labelOn = true, stillOpen = false;
    std::string delimiter, message;
    HWND dialog = nullptr;
    Drive({[&] {
             dialog = FindDialog("Export Data");
             if (!dialog) return false;
             delimiterOn = Enabled(dialog, IDC_EXPORT_DELIMITER);
             labelOn = Enabled(dialog, IDC_EXPORT_DELIMITER_LABEL);
             delimiter = ItemText(dialog, IDC_EXPORT_DELIMITER);
             if (c.button == IDNO) wintest::TakeShot(dialog, "export-data");
             ::CheckRadioButton(dialog, IDC_EXPORT_FIXED, IDC_EXPORT_DELIMITED, IDC_EXPORT_DELIMITED);
             Click(dialog, IDC_EXPORT_DELIMITED);
             ::SetDlgItemTextA(dialog, IDC_EXPORT_FILE, c.name.c_str());
             ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
             return true;
           },
           [&] {
             HWND box = PopupOf(dialog);
             if (!box) return false;
             message = ItemText(box, 0xFFFF);
             ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(c.button), 0);
             return true;
           },
           [&] {
             if (c.result == IDOK) return true;
             if (PopupOf(dialog)) return false;
             stillOpen = ::IsWindowVisible(dialog) != FALSE;
             Click(dialog, IDCANCEL);
             return true;
           }});
    EXPECT_EQ(dlg.DoModal(), c.result) << c.name;
    EXPECT_FALSE(delimiterOn);
    EXPECT_FALSE(labelOn);
    EXPECT_EQ(delimiter, ",");
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(stillOpen, c.result != IDOK);
    EXPECT_EQ(written, c.result == IDOK ? existing : "");
    // Saved before the question, whatever the answer.
    EXPECT_EQ(g_Settings.ExportFileFormat, 1);
    EXPECT_EQ(g_Settings.ExportDelimiter, ',');
    EXPECT_EQ(g_Settings.ExportFilename, c.name);
  }
}

// Runs the text import options with the steps after the dialog appears.
int RunImportText(CImportTextDlg& dlg, std::vector<std::function<bool(HWND)>> steps) {
  HWND h = nullptr;
  std::vector<wintest::Step> driven;
  driven.push_back([&] { return (h = FindDialog("Import Events")) != nullptr; });
  for (auto& s : steps) driven.push_back([&h, s] { return s(h); });
  Drive(driven);
  return dlg.DoModal();
}

TEST_F(ImportExport, ImportTextListsStoresAndRefuses) {
  const std::string file = Path("in.txt");
  std::ofstream(file) << "12/31/1998,Party\r\nsecond";
  const struct {
    const char* stored;
    std::vector<std::string> listed;
  } orders[] = {{"2310", {"Name", "Type", "Time", "Date"}}, {"00", {"Date", "Time", "Name", "Type"}}};
  for (const auto& o : orders) {
    g_Settings.ImportColumnOrder = o.stored;
    CImportTextDlg dlg;
    std::vector<std::string> listed;
    RunImportText(dlg, {[&](HWND h) {
      listed = ListItems(h, IDC_IMPORT_COLUMNS);
      Click(h, IDCANCEL);
      return true;
    }});
    EXPECT_EQ(listed, o.listed);
  }
  // Time moved last, year-month-day with "-", alarm off: stored.
  g_Settings.ImportColumnOrder = "2310";
  g_Settings.ImportAlarmEnabled = 1;
  CImportTextDlg dlg;
  std::string example, firstLine;
  bool upAtTop = true, downAtTop = false, leadOn = true, unitsOn = true;
  RunImportText(dlg, {[&](HWND h) {
    upAtTop = Enabled(h, IDC_IMPORT_UP);
    downAtTop = Enabled(h, IDC_IMPORT_DOWN);
    ::SendDlgItemMessageA(h, IDC_IMPORT_COLUMNS, LB_SETCURSEL, 2, 0);
    Click(h, IDC_IMPORT_DOWN);
    ::SendDlgItemMessageA(h, IDC_IMPORT_DATE_ORDER, CB_SETCURSEL, 2, 0);
    ::SetDlgItemTextA(h, IDC_IMPORT_DATE_DELIMITER, "-");
    ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_DATE_DELIMITER, CBN_EDITCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_IMPORT_DATE_DELIMITER)));
    example = ItemText(h, IDC_IMPORT_EXAMPLE);
    ::SetDlgItemTextA(h, IDC_IMPORT_FILE, file.c_str());
    ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_FILE, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_IMPORT_FILE)));
    firstLine = ItemText(h, IDC_IMPORT_FIRST_LINE);
    ::CheckDlgButton(h, IDC_IMPORT_ALARM, BST_UNCHECKED);
    ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_ALARM, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_IMPORT_ALARM)));
    leadOn = Enabled(h, IDC_IMPORT_LEAD);
    unitsOn = Enabled(h, IDC_IMPORT_UNITS);
    wintest::TakeShot(h, "import-text");
    Click(h, IDOK);
    return true;
  }});
  EXPECT_FALSE(upAtTop);
  EXPECT_TRUE(downAtTop);
  EXPECT_EQ(example, "Example Date :  1998-12-31");
  EXPECT_EQ(firstLine, "12/31/1998,Party");
  EXPECT_FALSE(leadOn);
  EXPECT_FALSE(unitsOn);
  EXPECT_EQ(g_Settings.ImportColumnOrder, "2301");
  EXPECT_EQ(g_Settings.ImportDateOrder, 2);
  EXPECT_EQ(g_Settings.ImportDateDelimeter, "-");
  EXPECT_EQ(g_Settings.ImportAlarmEnabled, 0);
  EXPECT_EQ(dlg.fileName, file);
}

TEST_F(ImportExport, ImportTextRefusals) {
  const std::string file = Path("in.txt");
  std::ofstream(file) << "x";
  const struct {
    std::string file, columnDelimiter, dateDelimiter, lead;
    const char* message;
    const char* example;
  } cases[] = {
      {Path("missing.txt"), ",", "/", "7", "The file you have specified does not exist.\nPlease select a valid file.",
       nullptr},
      {file, "", "/", "7", "You must supply a Column Delimiter", nullptr},
      {file, ",", "", "7", "You must supply a Date Delimiter", "Example Date :  12/31/1998"},
      {file, ",", "/", "1001", "Please enter an integer between 0 and 1000.", nullptr},
  };
  g_Settings.ImportDateOrder = 0;
  for (const auto& c : cases) {
    CImportTextDlg dlg;
    std::string message, example;
    bool stayed = false;
    RunImportText(dlg, {[&](HWND h) {
                          ::SetDlgItemTextA(h, IDC_IMPORT_FILE, c.file.c_str());
                          ::SetDlgItemTextA(h, IDC_IMPORT_COLUMN_DELIMITER, c.columnDelimiter.c_str());
                          ::SetDlgItemTextA(h, IDC_IMPORT_DATE_DELIMITER, c.dateDelimiter.c_str());
                          ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_DATE_DELIMITER, CBN_EDITCHANGE),
                                         reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_IMPORT_DATE_DELIMITER)));
                          example = ItemText(h, IDC_IMPORT_EXAMPLE);
                          ::CheckDlgButton(h, IDC_IMPORT_ALARM, BST_CHECKED);
                          ::SetDlgItemTextA(h, IDC_IMPORT_LEAD, c.lead.c_str());
                          ::PostMessageA(h, WM_COMMAND, IDOK, 0);
                          return true;
                        },
                        [&](HWND h) {
                          HWND box = PopupOf(h);
                          if (!box) return false;
                          message = ItemText(box, 0xFFFF);
                          ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                          return true;
                        },
                        [&](HWND h) {
                          if (PopupOf(h)) return false;
                          stayed = ::IsWindowVisible(h) != FALSE;
                          Click(h, IDCANCEL);
                          return true;
                        }});
    EXPECT_EQ(message, c.message);
    EXPECT_TRUE(stayed);
    if (c.example) {
      EXPECT_EQ(example, c.example);
    }
  }
}

TEST_F(ImportExport, ICalErrorAnswers) {
  const struct {
    int action;  // button id, or 0 for the close box
    int result;
  } cases[] = {{1, 1}, {2, 2}, {0, 2}};
  for (const auto& c : cases) {
    CICalErrorDlg dlg;
    std::string text;
    Drive({[&] {
      HWND h = FindDialog("Almacora - iCalendar Import");
      if (!h) return false;
      text = ItemText(h, IDC_ICAL_ERROR_TEXT);
      if (c.action == 1) wintest::TakeShot(h, "ical-error");
      if (c.action == 0) {
        ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        Click(h, c.action);
      }
      return true;
    }});
    EXPECT_EQ(dlg.Ask("Event \"Party\" has no start date."), c.result);
    EXPECT_EQ(text, "Event \"Party\" has no start date.");
  }
}

}  // namespace
