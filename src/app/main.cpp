#include <windows.h>

#include "editor/frmMain.h"
#include "shell/command_line.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  frmMain main;
  return main.Run(modCommandLine::ArgumentText(::GetCommandLineW()));
}
