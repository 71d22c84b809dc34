// make_holidays FOLDER: writes the four holiday calendars the program ships
// ("US Holidays.akv" and the others of storage/holiday_calendars.h) into
// FOLDER. Run by the build, which places them beside almacora.exe.
#include <cstdio>
#include <string>

#include "storage/engine_session.h"
#include "storage/holiday_calendars.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_holidays FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  if (StartStorageEngine() != 0) {
    std::fprintf(stderr, "make_holidays: the storage engine did not start\n");
    return 1;
  }
  for (size_t i = 0; i < holidays::kCalendarCount; ++i) {
    if (!holidays::WriteCalendar(i, folder)) {
      std::fprintf(stderr, "make_holidays: could not write %s%s\n", folder.c_str(), holidays::kCalendars[i].file);
      return 1;
    }
  }
  return 0;
}
