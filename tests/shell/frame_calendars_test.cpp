// The main frame's calendar commands end to end in this process: Close and
// Move, each import type into the calendar chosen, the iCalendar export and
// its file read back, the calendar wizard at first start and from the
// menu, and the calendar entries editor from both its openers. Dialogs and
// boxes are answered as a person would.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/events/field_buffer.h"
#include "model/events/field_buffer_tags.h"
#include "model/settings/program_settings.h"
#include "platform/paths.h"
#include "res/resource.h"
#include "shell/frame/main_frame.h"
#include "shell/app/shell_services.h"
#include "shell/app/shell_document.h"
// windows.h names CreateFileA what the calendar declares as CreateFile.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/convert/old_event_records.h"
#include "storage/event_array.h"
#include "storage/holiday_calendars.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_storage.h"
#include "storage/services/storage_services.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/window_shot.h"
#include "tests/shell/frame_files_fixture.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;

namespace {

std::string g_folder;  // what the folder browser answers
bool BrowseTo(HWND, const std::string&, std::string* folder) {
  *folder = g_folder;
  return true;
}

class FrameCalendars : public shelltest::FrameOverFiles {
 protected:
  void SetUp() override {
    SetUpFiles("calcmd", "shell_calendars", 2, 0, [](CCalEvent& e, int i) {
      e.alarmOn = 0;  // past: a due alarm's reminder window would stand over the boxes
      e.start.SetDate(10 + i, 6, 2026);
    });
    previousBrowser_ = CMainFrame::SetFolderBrowser(&BrowseTo);
    // The storage's boxes as the program shows them (its start installs
    // these; StartMainWindow alone does not).
    previousPrompts_ = GetStorageServices().prompts;
    GetStorageServices().prompts = &prompts_;
  }
  void TearDown() override {
    CMainFrame::SetFolderBrowser(previousBrowser_);
    GetStorageServices().prompts = previousPrompts_;
    TearDownFiles();
    for (const holidays::CalendarInfo& info : holidays::kCalendars)
      std::filesystem::remove(platform::ProgramFolder() + info.file);
    // What a conversion from the menu may leave there.
    for (const char* f : {"events.akv", "default.akv", "events.dat", "events20.dat"})
      std::filesystem::remove(platform::ProgramFolder() + f);
  }
  CAlmacoraDoc& Core() { return doc_->Core(); }
  // The calendar each loaded event of that name is in ("" for none).
  std::string CalendarOf(const std::string& eventName) {
    for (CCalEvent* e : Core().events().items())
      if (e->name == eventName && e->calendar) return e->calendar->name;
    return "";
  }
  // A step answering the next message box; its text and caption are
  // recorded.
  wintest::Step Answer(int button, const char* shot = nullptr) {
    return [this, button, shot] {
      HWND box = wintest::PopupOf(frame_ ? frame_->GetSafeHwnd() : nullptr);
      if (!box || ::GetDlgItem(box, 0xFFFF) == nullptr) return false;
      if (shot) shot_ = wintest::TakeShot(box, shot);
      boxes_.push_back(wintest::ItemText(box, 0xFFFF));
      char caption[64] = "";
      ::GetWindowTextA(box, caption, sizeof caption);
      captions_.push_back(caption);
      ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
      return true;
    };
  }
  // Picks the calendar by name in the open-calendars chooser and presses
  // its OK button, whose caption is recorded.
  wintest::Step Pick(const std::string& calendar) {
    return [this, calendar] {
      HWND dlg = FindDialog("Current Open Calendars");
      if (!dlg) return false;
      buttons_.push_back(wintest::ItemText(dlg, IDOK));
      const LRESULT at = ::SendDlgItemMessageA(dlg, IDC_OPEN_CALENDARS_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(calendar.c_str()));
      ::SendDlgItemMessageA(dlg, IDC_OPEN_CALENDARS_LIST, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
      Click(dlg, IDOK);
      return true;
    };
  }
  // Chooses the list entry of a dialog with that caption, then presses the
  // button.
  static wintest::Step Choose(const char* caption, int list, int index, int button) {
    return [=] {
      HWND dlg = FindDialog(caption);
      if (!dlg) return false;
      ::SendDlgItemMessageA(dlg, list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
      ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, list)));
      Click(dlg, button);
      return true;
    };
  }
  // Types a file name into the system's file dialog and presses OK.
  static wintest::Step FileName(const char* title, const std::string& path) {
    return [=] {
      HWND dlg = FindDialog(title);
      if (!dlg) return false;
      ::SetDlgItemTextA(dlg, 0x47C, path.c_str());  // the file name box
      ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
      return true;
    };
  }
  void Command(UINT id) {
    frame_->SendMsg(WM_COMMAND, id);
    // Boxes posted to close are gone before the next command.
    wintest::PumpFor(100);
  }

  std::vector<std::string> captions_, buttons_;
  wintest::Shot shot_;
  CMainFrame::FolderBrowser previousBrowser_ = nullptr;
  CShellStoragePrompts prompts_;
  IStoragePrompts* previousPrompts_ = nullptr;
};

TEST_F(FrameCalendars, CloseAndMove) {
  g_Settings.DataFilePaths.clear();
  g_Settings.DataFileEnabled.clear();
  StartFrame();
  for (UINT command : {ID_CALENDAR_CLOSE, ID_CALENDAR_MOVE}) {
    Drive({Answer(IDOK)});
    Command(command);
  }
  EXPECT_EQ(boxes_, (std::vector<std::string>{"No event file currently open", "No event file currently open"}));

  boxes_.clear();
  ASSERT_TRUE(Core().OpenEventFile(a_, false));
  ASSERT_TRUE(Core().OpenEventFile(b_, false));
  const int defaultId = Core().calendars().FindByPath(a_)->listId;
  ASSERT_EQ(Core().calendars().defaultId, defaultId);
  // The default into an empty folder: the file goes, the role stays.
  std::filesystem::create_directories(dir_ / "moved");
  g_folder = Path("moved");
  const std::string moved = Path("moved") + "\\a.akv";
  Drive({Pick("a")});
  Command(ID_CALENDAR_MOVE);
  EXPECT_TRUE(std::filesystem::exists(moved));
  EXPECT_FALSE(std::filesystem::exists(a_));
  CCalendarFile* now = Core().calendars().FindByPath(moved);
  ASSERT_NE(now, nullptr);
  EXPECT_EQ(Core().calendars().defaultId, now->listId);
  EXPECT_EQ(CalendarOf("a.akv 1"), "a");
  // Into a folder that holds a file of that name: said, reopened where it
  // was, still the default.
  std::filesystem::create_directories(dir_ / "held");
  std::ofstream(Path("held") + "\\a.akv") << "someone else's";
  g_folder = Path("held");
  Drive({Pick("a"), Answer(IDOK)});
  Command(ID_CALENDAR_MOVE);
  EXPECT_EQ(buttons_, (std::vector<std::string>{"Move File", "Move File"}));
  ASSERT_EQ(boxes_.size(), 1u);
  now = Core().calendars().FindByPath(moved);
  ASSERT_NE(now, nullptr);
  EXPECT_EQ(now->openState, CCalendarFile::kOpen);
  EXPECT_EQ(Core().calendars().defaultId, now->listId);
  EXPECT_EQ(CalendarOf("a.akv 0"), "a");

  // Close takes the chosen calendar's events out.
  Drive({Pick("b")});
  Command(ID_CALENDAR_CLOSE);
  EXPECT_EQ(Core().calendars().FindByPath(b_), nullptr);
  EXPECT_EQ(buttons_.back(), "Close File");
}

TEST_F(FrameCalendars, EachImportTypeGoesToTheCalendarChosen) {
  std::ofstream(Path("in.ics")) << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:ics-1\r\n"
                                   "SUMMARY:from ics\r\nDTSTART;VALUE=DATE:20270624\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  {
    CCalendarFile other;
    ASSERT_EQ(1, other.CreateFile(Path("c.akv")));
    CEventArray array;
    auto* e = new CCalEvent();
    e->name = "from akv";
    e->oneTime = 1;
    e->alarmOn = 0;
    e->start.SetDate(1, 7, 2026);
    ASSERT_EQ(1, other.AddEvent(e, 0, &array));
  }
  std::ofstream(Path("in.txt")) << "06/30/2027,09:00,from text,Holiday\n";
  std::ofstream(Path("in.vcs")) << "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:from vcs\r\n"
                                   "DTSTART:20270624T100000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  g_Settings.ImportColumnOrder = "0123";
  g_Settings.ImportColumnDelimeter = ",";
  g_Settings.ImportDateDelimeter = "/";
  g_Settings.ImportDateOrder = 0;
  // No alarm falls due: the reminder window would stand over the boxes.
  g_Settings.ImportAlarmEnabled = 0;
  StartFrame();
  const struct {
    int index;
    const char* dialog;  // the file dialog's title, or the text options' caption
    std::string file;
    const char* event;
  } cases[] = {{0, "Select iCalendar Data File", Path("in.ics"), "from ics"},
               {1, "Select Import Data File", Path("c.akv"), "from akv"},
               {2, "Import Events", Path("in.txt"), "from text"},
               {3, "Select vCalendar Data File", Path("in.vcs"), "from vcs"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    std::vector<wintest::Step> steps = {Pick("b"), Choose("Event Import", IDC_IMPORT_TYPE_LIST, c.index, IDOK)};
    if (c.index == 2) {
      steps.push_back([&] {
        HWND dlg = FindDialog("Import Events");
        if (!dlg) return false;
        ::SetDlgItemTextA(dlg, IDC_IMPORT_FILE, c.file.c_str());
        Click(dlg, IDOK);
        return true;
      });
      steps.push_back(Answer(IDOK));
    } else {
      steps.push_back(FileName(c.dialog, c.file));
      if (c.index == 0 || c.index == 3) steps.push_back(Answer(IDOK, c.index == 3 ? "vcs_import_counts" : nullptr));
    }
    Drive(steps);
    Command(ID_CALENDAR_IMPORT);
    EXPECT_TRUE(wintest::Driven());
    EXPECT_EQ(CalendarOf(c.event), "b");
  }
  EXPECT_EQ(buttons_, std::vector<std::string>(4, "Continue"));
  // Each import reports its results; the vCalendar import as the iCalendar one does.
  const std::string counts = "Import complete.\n\n1 event added.\n0 events updated.\n0 events skipped.";
  EXPECT_EQ(boxes_, (std::vector<std::string>{counts, "1 event successfully imported.", counts}));
  EXPECT_EQ(captions_, (std::vector<std::string>{"Almacora", "Import Results", "Almacora"}));
  ASSERT_GT(shot_.width, 50);
  EXPECT_NE(shot_.At(shot_.width / 2, shot_.height / 2), RGB(0, 0, 0));

  // A line with a bad date: the results ask about the log; Yes shows it.
  // The heading line after a UTF-8 byte-order mark is a heading still.
  std::ofstream(Path("bad.txt")) << "\xEF\xBB\xBF" "Date,Time,Name,Type\r\n13/45/2027,09:00,bad date,Holiday\n"
                                    "06/29/2027,10:00,good,Holiday\n";
  std::string log;
  Drive({Pick("b"), Choose("Event Import", IDC_IMPORT_TYPE_LIST, 2, IDOK),
         [&] {
           HWND dlg = FindDialog("Import Events");
           if (!dlg) return false;
           ::SetDlgItemTextA(dlg, IDC_IMPORT_FILE, Path("bad.txt").c_str());
           Click(dlg, IDOK);
           return true;
         },
         Answer(IDYES),
         [&] {
           HWND dlg = FindDialog("Log");
           if (!dlg) return false;
           log = wintest::ItemText(dlg, IDC_LOG_TEXT);
           Click(dlg, IDOK);
           return true;
         }});
  Command(ID_CALENDAR_IMPORT);
  EXPECT_TRUE(wintest::Driven());
  ASSERT_EQ(boxes_.size(), 4u);
  EXPECT_EQ(boxes_[3], "0 events with warnings.\n1 event with errors.\n1 event successfully imported.\n\nView Import Log?");
  EXPECT_EQ(log, "Line number   2 : Error, invalid date. Event not imported.\r\n");
  EXPECT_EQ(CalendarOf("good"), "b");

  // Cancel at the type chooser imports nothing.
  const size_t before = Core().events().items().size();
  Drive({Pick("b"), Choose("Event Import", IDC_IMPORT_TYPE_LIST, 0, IDCANCEL)});
  Command(ID_CALENDAR_IMPORT);
  EXPECT_EQ(Core().events().items().size(), before);
}

TEST_F(FrameCalendars, ICalendarExportProposesIcsAndReadsBackEqual) {
  StartFrame();
  // A name without extension is given ".ics".
  Drive({Choose("Event Export", IDC_EXPORT_SELECT_LIST, 0, IDOK), Pick("a"),
         FileName("Enter Export Filename", Path("out"))});
  Command(ID_CALENDAR_EXPORT);
  EXPECT_EQ(buttons_, std::vector<std::string>{"Export"});
  ASSERT_TRUE(std::filesystem::exists(Path("out.ics")));

  CCalendarFile* b = Core().calendars().FindByPath(b_);
  CICalConverter converter;
  ASSERT_TRUE(ImportICalFile(converter, Core(), *b, Path("out.ics")));
  std::map<std::string, std::vector<std::string>> byUid;
  for (CCalEvent* e : Core().events().items())
    byUid[e->uid].push_back(e->calendar->name + "|" + e->name + "|" + std::to_string(e->start.GetJulianDay()) + "|" +
                            std::to_string(e->oneTime));
  ASSERT_EQ(byUid.size(), 2u);
  for (auto& entry : byUid) {
    ASSERT_EQ(entry.second.size(), 2u);
    std::sort(entry.second.begin(), entry.second.end());
    EXPECT_EQ(entry.second[0].substr(1), entry.second[1].substr(1));  // a|... and b|... alike
  }
}

TEST_F(FrameCalendars, WizardAtFirstStartAndFromTheMenu) {
  for (size_t i = 0; i < holidays::kCalendarCount; ++i)
    ASSERT_EQ(holidays::WriteCalendar(i, platform::ProgramFolder()), 1);
  g_Settings.FirstRun50 = 1;
  std::vector<std::string> firstRows, menuRows;
  auto readRows = [](std::vector<std::string>* rows) {
    return [rows] {
      HWND sheet = wintest::PropertySheet();
      HWND page = sheet ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr;
      if (!page) return false;
      if (!::GetDlgItem(page, IDC_CALWIZ_REFRESH)) {
        PropSheet_PressButton(sheet, PSBTN_NEXT);
        return false;
      }
      HWND list = ::GetDlgItem(page, IDC_CALWIZ_LIST);
      for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        char text[80] = "";
        ListView_GetItemText(list, i, 0, text, sizeof text);
        rows->push_back(std::string(ListView_GetCheckState(list, i) ? "[x] " : "[ ] ") + text);
      }
      PropSheet_PressButton(sheet, PSBTN_CANCEL);
      return true;
    };
  };
  Drive({readRows(&firstRows)});
  StartFrame();
  EXPECT_EQ(firstRows, (std::vector<std::string>{"[ ] Australia Holidays", "[ ] Canada Holidays", "[ ] UK Holidays",
                                                 "[x] US Holidays"}));
  EXPECT_EQ(store_->GetInt(CProgramSettings::kSection, "FirstRun50", 1), 0);
  // Cancelled: the holiday calendars stay listed, closed, and stored so.
  EXPECT_EQ(store_->GetInt(CProgramSettings::kSection, "NumFiles", 0), 6);

  Drive({readRows(&menuRows)});
  Command(ID_CALENDAR_WIZARD);
  EXPECT_EQ(menuRows, (std::vector<std::string>{"[x] a", "[x] b", "[ ] Australia Holidays", "[ ] Canada Holidays",
                                                "[ ] UK Holidays", "[ ] US Holidays"}));
}

// An old event file of the version with one one-time event of that name.
std::string OldEventFile(const std::string& version, const std::string& name) {
  if (version == "3.5") {
    CFieldBuffer b;
    b.PutString(fieldtag::kName, name);
    b.PutDateTime(fieldtag::kStart, CDateTime(4, 3, 2001));
    b.PutByte(fieldtag::kAllDay, 1);
    const std::string body(reinterpret_cast<const char*>(b.GetData()), b.GetUsed());
    const char prefix[4] = {0, 0, static_cast<char>(body.size() & 0xFF), static_cast<char>(body.size() >> 8)};
    return "Almacora 3.50 Event File" + std::string(prefix, 4) + body;
  }
  const bool v12 = version == "1.2";
  std::string r(v12 ? kRecord12Size : kRecord20Size, '\0');
  r[0] = 3, r[2] = 4, r[4] = static_cast<char>(2001 & 0xFF), r[5] = static_cast<char>(2001 >> 8);
  r.replace(v12 ? 8 : 14, name.size(), name);
  if (v12) {
    r[52] = 1;
  } else {
    r[6] = r[7] = '\xFF';  // no time of day
    r[302] = 1;
  }
  return (v12 ? "" : "Almacora 2.00 Event File") + r;
}

// Open on an old event file converts it into the file named in "Select New
// File Name" (proposed by the version); Convert Previous Data converts the
// program folder's old file into its "events.akv". The old file stays.
TEST_F(FrameCalendars, OldEventFilesConvertFromOpenAndTheMenu) {
  const std::string folder = platform::ProgramFolder();
  StartFrame();
  const struct {
    const char* version;
    const char* file;
    const char* proposed;  // nullptr: from the menu
  } cases[] = {{"1.2", "events.dat", "events12.akv"}, {"2.x", "old20.dat", "events20.akv"},
               {"3.5", "old35.dat", "events35.akv"},  {"1.2", "events.dat", nullptr},
               {"2.x", "events20.dat", nullptr}};
  int faceColoured = -1;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.version) + (c.proposed ? " open" : " menu"));
    const std::string name = std::string("Old ") + c.version + (c.proposed ? "" : " menu");
    const std::string bytes = OldEventFile(c.version, name);
    const std::string old = c.proposed ? Path(c.file) : folder + c.file;
    std::ofstream(old, std::ios::binary) << bytes;
    std::string target = folder + "events.akv", proposed;
    if (c.proposed) {
      target = Path(std::string("new_") + c.proposed);
      Drive({FileName("Select Data File", old), Answer(IDYES), [&] {
               HWND dlg = FindDialog("Select New File Name");
               if (!dlg) return Answer(IDOK)();  // a box saying why there is none
               proposed = wintest::ItemText(dlg, 0x47C);
               if (faceColoured < 0) {
                 const wintest::Shot shot = wintest::TakeShot(dlg, "select_new_file_name");
                 faceColoured = static_cast<int>(
                     std::count(shot.pixels.begin(), shot.pixels.end(), ::GetSysColor(COLOR_BTNFACE)));
               }
               ::SetDlgItemTextA(dlg, 0x47C, target.substr(0, target.size() - 4).c_str());  // ".akv" comes by default
               ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
               return true;
             }});
      Command(ID_FILE_OPEN);
      EXPECT_EQ(proposed, c.proposed);
    } else {
      Drive({Answer(IDYES)});
      Command(ID_CALENDAR_CONVERT);
    }
    EXPECT_TRUE(wintest::Driven());
    CCalendarFile* converted = Core().calendars().FindByPath(target);
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(CalendarOf(name), converted->name);
    std::ifstream in(old, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
    in.close();
    if (!c.proposed) {
      Core().CloseEventFile(converted);
      for (const char* f : {"events.akv", "default.akv", c.file}) std::filesystem::remove(folder + f);
    }
  }
  EXPECT_EQ(boxes_.size(), 5u);  // the five questions, and no failure
  EXPECT_GT(faceColoured, 1000);
}

// "Edit Calendar Entries" opened from the main window and from the
// calendar manager: in both "Actions" and "Edit Event" are live, drawn in
// black, and open the actions sheet and the event editor. Every window is
// closed by a posted Cancel; the drive gives up (cancelling) after 30 s.
TEST_F(FrameCalendars, EntriesEditorOpensActionsAndTheEditorFromBothOpeners) {
  StartFrame();
  g_Settings.alarm_enabled = 1;
  auto entries = [] {
    HWND h = FindDialog("Edit Calendar Entries");
    return h && ::IsWindowEnabled(h) ? h : nullptr;  // nothing modal over it
  };
  const struct {
    const char* shot;
    std::function<void()> open;
  } openers[] = {{"cal_entries_from_frame", [this] { Command(ID_EVENT_MANAGER); }},
                 {"cal_entries_from_manager", [this] {
                    Command(ID_CALENDAR_MANAGER);
                    Click(FindDialog("Calendars"), IDC_CALENDARS_LIST_EVENTS);
                    for (int i = 0; i < 600 && !wintest::Driven(); ++i) wintest::PumpFor(50);
                  }}};
  for (const auto& opener : openers) {
    std::vector<std::string> seen;
    auto press = [&](int id) -> wintest::Step {
      return [&, id] {
        HWND h = entries();
        if (!h) return false;
        seen.push_back(wintest::ItemText(h, id) + (::IsWindowEnabled(::GetDlgItem(h, id)) ? "" : " (grey)"));
        Click(h, id);
        return true;
      };
    };
    auto closes = [&](const char* caption) -> wintest::Step {
      return [&, caption] {
        HWND w = FindDialog(caption);
        if (!w) return false;
        seen.push_back(caption);
        ::PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        return true;
      };
    };
    int dark[2] = {0, 0};  // black text pixels on each button
    Drive({[&] {
             HWND h = entries();
             if (!h) return false;
             const wintest::Shot shot = wintest::TakeShot(h, opener.shot);
             RECT frame;
             ::GetWindowRect(h, &frame);
             const int ids[] = {IDC_CALEDIT_ACTIONS, IDC_CALEDIT_EDIT_EVENT};
             for (int b = 0; b < 2; ++b) {
               RECT r;
               ::GetWindowRect(::GetDlgItem(h, ids[b]), &r);
               ::InflateRect(&r, -3, -3);  // the text, not the button's black edge
               for (int y = r.top - frame.top; y < r.bottom - frame.top && y < shot.height; ++y)
                 for (int x = r.left - frame.left; x < r.right - frame.left && x < shot.width; ++x)
                   dark[b] += shot.At(x, y) == RGB(0, 0, 0);
             }
             return true;
           },
           press(IDC_CALEDIT_ACTIONS), closes("Alarm Actions"), press(IDC_CALEDIT_EDIT_EVENT), closes("Event Edit"),
           press(IDCANCEL)},
          30000);
    opener.open();
    EXPECT_TRUE(wintest::Driven()) << opener.shot;
    EXPECT_EQ(seen, (std::vector<std::string>{"Actions", "Alarm Actions", "Edit Event", "Event Edit", "Cancel"}))
        << opener.shot;
    EXPECT_GT(std::min(dark[0], dark[1]), 20) << opener.shot;
  }
}

}  // namespace
