// The launchers' decisions as plain functions, free of the window system, so
// that they are tested on their own: which mode a command line asks for,
// which windows the close-all procedure ends, and how the legacy launcher
// forwards its command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// The switches of the command line, compared exactly and case-sensitively.
constexpr char kCloseAllSwitch[] = "-closeall";
constexpr char kUpdateSwitch[] = "-update";
constexpr char kCloseAndStartSwitch[] = "-closeprev";
constexpr char kMultipleInstancesSwitch[] = "-tnmultipleinstances";

enum class Mode {
  kNormalStart,   // single-instance check, pending updates, then the shell
  kCloseAll,      // "-closeall": end every running copy, then stop
  kUpdate,        // "-update": end every copy, run the update wizard, restart
  kCloseAndStart  // "-closeprev": end every copy, wait, then a normal start
};

// The mode chosen by the first argument alone (exact, case-sensitive);
// `args` are the arguments after the program name, in Windows-1251.
Mode ModeOf(const std::vector<std::string>& args);

// True when "-tnmultipleinstances" is any one of the arguments: the
// single-instance check of a normal start is then skipped.
bool AllowsMultipleInstances(const std::vector<std::string>& args);

// Whether the close-all procedure ends the process of a top-level window with
// this title and class: an application window of this system (class
// "TApplication", title beginning with "Solvika": the shell and the update
// wizard) or of the older generation (class "TSolvikaApplication").
bool IsCloseAllCandidate(std::string_view title, std::string_view window_class);

// The legacy launcher's parameter text: the arguments joined by single
// spaces, without quoting, so an argument that held spaces arrives split.
// UTF-16, because the text is passed on unchanged and nothing in it needs to
// be read as Windows-1251.
std::wstring JoinLegacyArguments(const std::vector<std::wstring>& args);

// The program the legacy launcher starts: "Solvika.exe" in the folder of
// `own_path` (everything up to its last backslash), or the bare name when the
// path has no backslash.
std::wstring LegacyTargetPath(std::wstring_view own_path);

}  // namespace launcher
