// Backup Data, Restore Data and the scheduled question on the main frame
// in this process, answered as a person would; the files, the settings and
// every box's caption and text are checked.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dialogs/small/backup_dlg.h"
#include "model/events/cal_event.h"
#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "platform/os_file_faults.h"
#include "res/resource.h"
#include "shell/frame/main_frame.h"
#include "shell/app/restore_file_choice.h"
#include "shell/app/shell_document.h"
// windows.h names CreateFileA what the calendar declares as CreateFile.
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/ui/calendars_dialog.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/shell/frame_files_fixture.h"

using wintest::Drive;

namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class BackupTest : public shelltest::FrameOverFiles {
 protected:
  void SetUp() override {
    SetUpFiles("backup", "shell_backup", 3, 2,
               [](CCalEvent& e, int i) { e.notes = std::string(static_cast<size_t>(i) * 5000, 'n'); });
    std::filesystem::create_directories(dir_ / "bk");
    today_ = CDateTime::Today().GetJulianDay();
  }
  void TearDown() override {
    platform::DisarmFileFaults();
    RestoreFileChoices() = RestoreFileChoice{};
    TearDownFiles();
  }
  // A step answering the next box: its "caption|text" is recorded.
  wintest::Step Answer(int button) {
    return [this, button] {
      HWND box = wintest::PopupOf(frame_ ? frame_->GetSafeHwnd() : nullptr);
      // A message box, not the backup dialog closing behind it.
      if (!box || ::GetDlgItem(box, 0xFFFF) == nullptr || ::GetDlgItem(box, IDC_BACKUP_DIR) != nullptr) return false;
      char caption[64] = "";
      ::GetWindowTextA(box, caption, sizeof caption);
      boxes_.push_back(std::string(caption) + "|" + wintest::ItemText(box, 0xFFFF));
      ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
      return true;
    };
  }
  // Fills the backup dialog with the folder and presses OK.
  wintest::Step BackupTo(const std::string& folder, bool shot = false) {
    return [this, folder, shot] {
      HWND dlg = wintest::FindDialog("Backup Current Events File");
      if (!dlg) return false;
      ::SetDlgItemTextA(dlg, IDC_BACKUP_DIR, folder.c_str());
      if (shot) shot_ = wintest::TakeShot(dlg, "backup_dialog");
      wintest::Click(dlg, IDOK);
      return true;
    };
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (CCalEvent* e : doc_->Core().events().items()) names.push_back(e->name);
    std::sort(names.begin(), names.end());
    return names;
  }

  int today_ = 0;
  wintest::Shot shot_;
};

TEST_F(BackupTest, ScheduledQuestion) {
  StartFrame();
  const std::string question =
      "Almacora Data Backup|Almacora scheduled calendar backup date has arrived.\n\nBackup Now?\n\n"
      "Select no to postpone 30 days";
  g_Settings.AutoBackupDays = 30;
  struct Case {
    int last;
    bool asked;
  } cases[] = {{today_ - 30, true}, {today_ - 29, false}, {today_ + 5, true}};
  for (const auto& c : cases) {
    boxes_.clear();
    g_Settings.AutoBackupDate = c.last;
    if (c.asked) Drive({Answer(IDNO)});
    frame_->CheckScheduledBackup();
    EXPECT_EQ(c.asked ? std::vector<std::string>{question} : std::vector<std::string>{}, boxes_) << c.last - today_;
    EXPECT_EQ(c.asked ? today_ : c.last, g_Settings.AutoBackupDate);
    if (c.asked) {
      EXPECT_EQ(today_, store_->GetInt(CProgramSettings::kSection, "AutoBackupDate", 0));
    }
  }
}

// A stored folder that names nothing (the default "a:\\") starts the
// dialog in the user's documents folder; the setting stays as stored.
TEST_F(BackupTest, AFolderThatIsNotThereStartsTheDialogInDocuments) {
  StartFrame();
  char documents[MAX_PATH] = "";
  ASSERT_EQ(S_OK, ::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents));
  const std::string existing = Path("bk") + "\\";
  for (const std::string& stored : {std::string("a:\\"), existing}) {
    g_Settings.BackupDir = stored;
    std::string shown;
    Drive({[&] {
      HWND dlg = wintest::FindDialog("Backup Current Events File");
      if (!dlg) return false;
      shown = wintest::ItemText(dlg, IDC_BACKUP_DIR);
      if (stored != existing) shot_ = wintest::TakeShot(dlg, "backup_dialog_documents");
      wintest::Click(dlg, IDCANCEL);
      return true;
    }});
    EXPECT_FALSE(frame_->BackupData());
    EXPECT_EQ(stored == existing ? existing : std::string(documents), shown);
    EXPECT_EQ(stored, g_Settings.BackupDir);
  }
  ASSERT_GT(shot_.width, 50);
  EXPECT_NE(shot_.At(shot_.width / 2, shot_.height / 2), RGB(0, 0, 0));
}

TEST_F(BackupTest, BackupCopiesOpenCalendarsAndAFaultKeepsTheLastCopy) {
  StartFrame();
  const std::string folder = Path("bk");
  Drive({BackupTo(folder, true), Answer(IDOK)});
  EXPECT_TRUE(frame_->BackupData());
  EXPECT_EQ((std::vector<std::string>{"Almacora|Backup Complete."}), boxes_);
  EXPECT_EQ(Bytes(a_), Bytes(folder + "\\a.akb"));
  EXPECT_EQ(Bytes(b_), Bytes(folder + "\\b.akb"));
  EXPECT_EQ(folder + "\\", g_Settings.BackupDir);
  EXPECT_EQ(folder + "\\", store_->GetString(CProgramSettings::kSection, "BackupDir", ""));
  EXPECT_EQ(today_, g_Settings.AutoBackupDate);
  ASSERT_GT(shot_.width, 50);
  EXPECT_NE(shot_.At(shot_.width / 2, shot_.height / 2), RGB(0, 0, 0));

  // A write fault on b's copy: its old copy, the folder and the date stay.
  const std::string oldB = Bytes(folder + "\\b.akb");
  g_Settings.AutoBackupDate = today_ - 3;
  boxes_.clear();
  platform::FileFaultPlan plan;
  // a's copy takes one write per 256 KB; the next is b's first.
  plan.nth = (std::filesystem::file_size(a_) + 262143) / 262144 + 1;
  platform::ArmFileFault(plan);
  Drive({BackupTo(Path("bk")), Answer(IDOK)});
  EXPECT_FALSE(frame_->BackupData());
  platform::DisarmFileFaults();
  ASSERT_EQ(1u, boxes_.size());
  EXPECT_EQ(0u, boxes_[0].find("Backup Error|Error copying to backup file " + folder + "\\b.akb\n\n"));
  EXPECT_GT(boxes_[0].size(), ("Backup Error|Error copying to backup file " + folder + "\\b.akb\n\n").size());
  EXPECT_EQ(oldB, Bytes(folder + "\\b.akb"));
  EXPECT_EQ(today_ - 3, g_Settings.AutoBackupDate);
}

TEST_F(BackupTest, RestoreOntoOpenDefaultAndNewPaths) {
  StartFrame();
  CCalendarFile* live = doc_->Core().calendars().FindByPath(a_);
  ASSERT_NE(nullptr, live);
  doc_->Core().calendars().defaultId = live->listId;
  Drive({BackupTo(Path("bk")), Answer(IDOK)});
  ASSERT_TRUE(frame_->BackupData());
  const std::string backup = Path("bk") + "\\a.akb";
  std::ofstream(Path("bk") + "\\text.akb") << "not a calendar";
  // Changes after the backup.
  CCalEvent* added = new CCalEvent();
  added->name = "added later";
  added->calendar = live;
  ASSERT_EQ(1, doc_->Core().AddEvent(added));
  const std::vector<std::string> before = Names();
  const std::string changed = Bytes(a_);

  std::vector<std::string> chosen;
  RestoreFileChoices().chooseBackups = [&](HWND, std::vector<std::string>* out) {
    *out = chosen;
    return true;
  };
  // Targets in order of the backups: a list consumed one by one.
  std::vector<std::string> answers;
  size_t next = 0;
  std::vector<std::string> proposals;
  size_t faultAt = ~size_t{0};  // the target answer after which writes fail
  platform::FileFaultPlan plan;
  RestoreFileChoices().chooseTarget = [&](HWND, const std::string& proposed, std::string* target) {
    proposals.push_back(proposed);
    if (next == faultAt) platform::ArmFileFault(plan);
    const std::string t = answers[next++];
    if (t.empty()) return false;
    *target = t;
    return true;
  };

  // A text file and a write fault onto the live calendar: unchanged, open.
  chosen = {Path("bk") + "\\text.akb", backup};
  answers = {a_, a_};
  faultAt = 1;
  boxes_.clear();
  Drive({Answer(IDOK), Answer(IDOK), Answer(IDOK)});
  frame_->SendMsg(WM_COMMAND, ID_CALENDAR_RESTORE);
  platform::DisarmFileFaults();
  ASSERT_EQ(3u, boxes_.size()) << ::testing::PrintToString(boxes_);
  EXPECT_EQ("Restore Error|'" + Path("bk") + "\\text.akb' is not a calendar file.", boxes_[0]);
  EXPECT_EQ(0u, boxes_[1].find("Restore Error|"));
  EXPECT_EQ("Restore Complete|0 data file(s) restored.", boxes_[2]);
  EXPECT_EQ(changed, Bytes(a_));
  EXPECT_EQ(before, Names());
  EXPECT_EQ((std::vector<std::string>{"text.akv", "a.akv"}), proposals);

  // Onto itself while open and default: reopened, still default.
  faultAt = ~size_t{0};
  boxes_.clear();
  chosen = {backup};
  answers = {a_};
  next = 0;
  Drive({Answer(IDOK)});
  frame_->SendMsg(WM_COMMAND, ID_CALENDAR_RESTORE);
  EXPECT_EQ((std::vector<std::string>{"Restore Complete|1 data file(s) restored."}), boxes_);
  CCalendarFile* reopened = doc_->Core().calendars().FindByPath(a_);
  ASSERT_NE(nullptr, reopened);
  EXPECT_EQ(reopened->listId, doc_->Core().calendars().defaultId);
  // The title bar, the Calendar Manager and Event Add name that one.
  char title[256] = "";
  ::GetWindowTextA(frame_->GetSafeHwnd(), title, sizeof title);
  EXPECT_NE(std::string(title).find(reopened->name + " (Default)"), std::string::npos) << title;
  std::string managerDefault = "none", addCalendar = "none";
  auto shotOf = [](HWND h, const char* name) {
    EXPECT_EQ(wintest::ClientCornerColour(h, wintest::TakeShot(h, name)), ::GetSysColor(COLOR_BTNFACE)) << name;
  };
  Drive({[&] {
          HWND h = wintest::FindDialog("Calendars");
          if (!h) return false;
          shellcontrols::CCheckGrid& grid = frame_->GetCalendarsDialog()->grid();
          for (int row = 0; row < grid.GetRowCount(); ++row) {
            CGridCell cell;
            grid.GetCell(1, row, &cell);
            std::string text;
            cell.GetText(&text);
            if (text.size() > 10 && text.compare(text.size() - 10, 10, " (default)") == 0) managerDefault = text;
          }
          shotOf(h, "restore_default_manager");
          wintest::Click(h, IDOK);
          return true;
        }},
        30000);
  frame_->SendMsg(WM_COMMAND, ID_CALENDAR_MANAGER);  // modeless: it stays up after the command
  for (int i = 0; i < 200 && !wintest::Driven(); ++i) wintest::PumpFor(50);
  EXPECT_EQ(managerDefault, reopened->name + " (default)");
  Drive({[&] {
          HWND h = wintest::FindDialog("Event Edit");
          if (!h) return false;
          addCalendar = wintest::ItemText(h, IDC_EE_CALENDAR);
          shotOf(h, "restore_default_event_add");
          wintest::Click(h, IDCANCEL);
          return true;
        }},
        30000);
  frame_->SendMsg(WM_COMMAND, ID_EVENT_ADD);
  EXPECT_EQ(addCalendar, reopened->name);
  std::vector<std::string> expected = before;
  expected.erase(std::find(expected.begin(), expected.end(), "added later"));
  EXPECT_EQ(expected, Names());

  // Three chosen, the second cancelled; new paths asked about, No counts.
  boxes_.clear();
  chosen = {backup, backup, backup};
  answers = {Path("n1.akv"), "", Path("n2.akv")};
  next = 0;
  Drive({Answer(IDNO), Answer(IDNO), Answer(IDOK)});
  frame_->SendMsg(WM_COMMAND, ID_CALENDAR_RESTORE);
  ASSERT_EQ(3u, boxes_.size()) << ::testing::PrintToString(boxes_);
  EXPECT_EQ("Open Restored File|'" + Path("n1.akv") + "' was restored but was not previously open.\n\nOpen event file?",
            boxes_[0]);
  EXPECT_EQ("Restore Complete|2 data file(s) restored.", boxes_[2]);
  EXPECT_EQ(nullptr, doc_->Core().calendars().FindByPath(Path("n1.akv")));
  // The check opened the copy once (the engine's header moved); it is there.
  EXPECT_TRUE(std::filesystem::exists(Path("n2.akv")));
}

}  // namespace
