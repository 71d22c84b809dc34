// The one main of every test executable.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  // The Windows tree's runner names a file here so that it can tell a
  // program that never started (a Wine start-up failure, tried again) from
  // a test that failed or crashed (reported as it is).
  if (const char* started = std::getenv("ALMACORA_TEST_STARTED_FILE")) {
    if (std::FILE* f = std::fopen(started, "w")) std::fclose(f);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
