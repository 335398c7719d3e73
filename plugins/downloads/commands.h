// What the downloads window's commands hand to the download manager, kept
// apart from the window: the speed and simultaneous-jobs menus, the button
// images chosen by the manager's settings, the deletion questions and the
// check of a URL typed into the add dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fetchkeeper {

// One item of the speed menu or the simultaneous-jobs menu.
struct MenuChoice {
  int tag;
  int32_t value;  // what the manager's setting becomes
};

// Speed menu: tags 1 to 7 give ThreadsSleep 100, 50, 20, 10, 5, 2, 0.
constexpr MenuChoice kSpeedChoices[] = {{1, 100}, {2, 50}, {3, 20}, {4, 10}, {5, 5}, {6, 2}, {7, 0}};
// Simultaneous-jobs menu: tags 1 to 4 give ThreadsCount 1, 2, 5, 10.
constexpr MenuChoice kThreadChoices[] = {{1, 1}, {2, 2}, {3, 5}, {4, 10}};

// Image of the speed button (11 to 17) for ThreadsSleep.
int SpeedButtonImage(int32_t threadsSleep);
// Image of the simultaneous-jobs button (7 to 10) for ThreadsCount.
int ThreadsButtonImage(int32_t threadsCount);

// The three deletions of the list's menu, with the manager's call each makes.
enum class Deletion { kSelected, kFinished, kFailed };
std::string DeletionQuestion(Deletion deletion);  // 1251

// True when the URL begins with "http://" in any case.
bool IsAcceptedUrl(std::string_view url);
// The warning shown for a URL that is not accepted (1251, lines broken by CR).
std::string RefusedUrlText();

// The folder the add dialog offers: the stored one, or the drive root of the
// program folder + "SVDownloads".
std::string DefaultSaveFolder(std::string_view stored, std::string_view programFolder);
// The folder with a trailing backslash.
std::string WithTrailingSlash(std::string folder);

}  // namespace fetchkeeper
