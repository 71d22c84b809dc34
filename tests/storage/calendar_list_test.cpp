// The calendar list: titles, ids, the default, and paths that name one
// file in two spellings.
#include "storage/calendar_list.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

CCalendarFile* Calendar(const std::string& name, int state = CCalendarFile::kOpen, int type = 0) {
  auto* c = new CCalendarFile();
  c->name = name;
  c->openState = state;
  c->fileType = type;
  return c;
}

using CalendarListTest = StorageTest;

TEST_F(CalendarListTest, TitlesFollowTheOpenCalendars) {
  CCalendarList list;
  EXPECT_EQ("Almacora - no event file open", list.MainWindowTitle());
  CCalendarFile* feed = Calendar("Feed", CCalendarFile::kOpen, CCalendarFile::kMemoryOnly);
  list.AddCalendar(feed);
  CCalendarFile* workCalendar = Calendar("Work");
  const int work = list.AddCalendar(workCalendar);
  EXPECT_EQ(work, list.defaultId);  // a memory-only calendar never becomes the default
  list.RemoveById(1);
  delete feed;
  EXPECT_EQ("Almacora - Work (Default)", shell.title);
  list.AddCalendar(Calendar("Home"));
  EXPECT_EQ("Almacora - Work (Default)  |  Home", shell.title);
  list.AddCalendar(Calendar("Closed", CCalendarFile::kClosed));
  list.AddCalendar(Calendar("Peek", CCalendarFile::kPreview));
  EXPECT_EQ("Almacora - Work (Default)  |  Home  |  Peek", shell.title);
  EXPECT_EQ(2, list.CountSelectableCalendars());  // Work and Home
  // The default goes: the first ordinary calendar takes over; ids are not
  // reused.
  list.RemoveById(work);
  delete workCalendar;
  EXPECT_EQ("Home", list.GetDefaultCalendar()->name);
  EXPECT_EQ(6, list.AddCalendar(Calendar("Later")));
}

TEST_F(CalendarListTest, TwoSpellingsOfOnePathFindOneCalendar) {
  CCalendarList list;
  CCalendarFile* c = Calendar("a");
#ifdef _WIN32
  c->path = "C:\\cal\\a.akv";
  const char* other = "c:\\cal\\..\\CAL\\a.akv";
#else
  c->path = Path("cal/a.akv");
  const std::string spelled = "./x/../CAL/A.AKV";
  const char* other = spelled.c_str();
#endif
  list.AddCalendar(c);
  EXPECT_EQ(c, list.FindByPath(other));
  EXPECT_EQ(nullptr, list.FindByPath("b.akv"));
}

}  // namespace
}  // namespace storagetest
