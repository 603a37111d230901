#include <windows.h>

#include "editor/frmMain.h"
#include "shell/command_line.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  frmMain main(instance);
  return main.Run(modCommandLine::ArgumentText(::GetCommandLineW()));
}
