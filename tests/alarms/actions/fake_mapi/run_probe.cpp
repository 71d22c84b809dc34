// The program the run-action tests start: writes its command-line
// arguments and start-up show state ("a b|2") to ALMACORA_RUN_PROBE_OUT.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR args, int show) {
  char path[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("ALMACORA_RUN_PROBE_OUT", path, MAX_PATH)) return 1;
  FILE* f = std::fopen(path, "wb");
  if (!f) return 1;
  std::fprintf(f, "%s|%d", args, show);
  std::fclose(f);
  return 0;
}
