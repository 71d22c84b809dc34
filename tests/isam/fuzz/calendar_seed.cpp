// Writes the calendar target's seed inputs: calendar_seed <sound> <unfinished>.
#include <cstdio>

#include "tests/isam/fuzz/fuzz_inputs.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: calendar_seed <sound file> <unfinished file>\n");
    return 2;
  }
  return isam_fuzz::MakeSeedCalendar(argv[1], argv[2]) ? 0 : 1;
}
