// A stand-in "Solvika.exe" for the legacy launcher's test: logs the
// arguments it was started with, split as the system splits them and joined
// by "|", then ends.
#include <windows.h>

#include <string>

#include "command_line.h"
#include "guard.h"
#include "stub_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  sv::GuardVoid([] {
    std::string line = "args:";
    bool first = true;
    for (const std::string& arg : launcher::Arguments1251()) {
      if (!first) line += '|';
      line += arg;
      first = false;
    }
    stub::AppendLog(line);
  });
  return 0;
}
