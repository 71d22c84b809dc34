// The real almacora.exe opening, at its start, a calendar damaged where
// the engine cannot mend it: the box names the calendar and offers a
// rebuild (no backup in the backup folder), never a bare error number.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "isam/index/file_control_block.h"
#include "isam/index/writer_mark.h"
#include "model/events/cal_event.h"
#include "program_fixture.h"
#undef CreateFile
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

namespace {

std::string BoxText(HWND box) {
  char text[1024] = "";
  ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

HWND BoxSaying(DWORD pid, const std::string& piece) {
  return shelltest::WaitForWindowOf(pid, "#32770", [&](HWND h) { return BoxText(h).find(piece) != std::string::npos; });
}

}  // namespace

TEST(DamagedCalendar, TheProgramNamesItAndRebuildsItFromItsRecords) {
  const auto folder = std::filesystem::temp_directory_path() / ("almacora_damaged_" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directories(folder / "backups");
  const std::string path = (folder / "home.akv").string();
  ASSERT_EQ(0, StartStorageEngine());
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(path));
    CEventArray events;
    for (int i = 0; i < 12; ++i) {
      auto* e = new CCalEvent();
      e->name = "event " + std::to_string(i);
      ASSERT_EQ(1, file.AddEvent(e, 0, &events));
    }
    ASSERT_EQ(0, isam::MarkWriter(isam::CheckFileNumber(file.dataFile)));
    isam::CheckFileNumber(file.dataFile)->writer_marked = false;  // closes as a writer that died
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  in.close();
  const std::size_t mark = bytes.find_last_of("\xFE", bytes.find("CALINFO"));  // its resource's header
  ASSERT_NE(std::string::npos, mark);
  bytes[mark] = bytes[mark - 1] = 0;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

  shelltest::ResetProfile({{"NumFiles", 1}, {"DefaultFile", 1}},
                          {{"DataFiles01", path}, {"BackupDir", (folder / "backups").string() + "\\"}});
  shelltest::Program p;
  ASSERT_TRUE(p.Start());
  HWND box = BoxSaying(p.Pid(), "cannot be opened");
  ASSERT_NE(nullptr, box);
  const std::string asked = BoxText(box);
  EXPECT_NE(std::string::npos, asked.find(path)) << asked;
  EXPECT_NE(std::string::npos, asked.find("Yes: rebuild")) << asked;
  EXPECT_EQ(std::string::npos, asked.find("690")) << asked;
  const shelltest::Shot shot = shelltest::TakeShotNow(box, "damaged_calendar");
  ASSERT_GT(shot.width, 100);
  int yellow = 0;  // the exclamation icon, in the box's top left quarter
  for (int y = 0; y < shot.height / 2; ++y)
    for (int x = 0; x < shot.width / 4; ++x)
      yellow += GetRValue(shot.At(x, y)) > 200 && GetGValue(shot.At(x, y)) > 160 && GetBValue(shot.At(x, y)) < 90;
  EXPECT_GT(yellow, 20);
  ::PostMessageA(box, WM_COMMAND, IDYES, 0);
  HWND told = BoxSaying(p.Pid(), "was rebuilt");
  ASSERT_NE(nullptr, told);
  EXPECT_NE(std::string::npos, BoxText(told).find("12 events were kept")) << BoxText(told);
  ::PostMessageA(told, WM_COMMAND, IDOK, 0);
  HWND main = p.WaitForWindow();
  ASSERT_NE(nullptr, main);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, p.WaitExit());
  std::filesystem::remove_all(folder);
}
