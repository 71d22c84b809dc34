// The program's entry point: hands over to the one application object.
#include "shell/app/almacora_app.h"

#include <windows.h>

namespace {
CAlmacoraApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  return theApp.Run(instance, commandLine, showCommand);
}
