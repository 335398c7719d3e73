// What the stand-in libraries and programs of the launcher tests share: a log
// file in their program folder that several processes append lines to, and
// marker files that the test leaves there to steer them.
#pragma once

#include <string>

namespace stub {

constexpr char kLogFile[] = "launcher_log.txt";
// While present, the shell stand-in ignores the exit command.
constexpr char kIgnoreExitMarker[] = "ignore_exit.txt";
// Present at its start, the shell stand-in stops answering messages for as
// long as the marker stays (at most a minute), as a hung program does.
constexpr char kHangMarker[] = "hang.txt";
// While present, the update wizard stand-in keeps running.
constexpr char kHoldUpdateMarker[] = "update_hold.txt";

// Appends one line (CR LF added) to the log of the program folder.
void AppendLog(const std::string& line);
bool MarkerPresent(const char* name);

}  // namespace stub
