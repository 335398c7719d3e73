// The wizard as the user sees it, run in a process of its own against the
// local server: nothing to do, a small update, and a server that is down.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "net_test_support.h"
#include "process_kit.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

constexpr DWORD kStepWaitMs = 60000;
constexpr DWORD kPollMs = 100;
// No further message box within this time: the wizard has gone on.
constexpr DWORD kQuietMs = 8000;
constexpr size_t kMostBoxes = 10;
constexpr const char* kProgramFiles[] = {"update_runner.exe", "SolvikaUpdate.dll", "SolvikaNet.dll",
                                         "SolvikaUtils.dll", "SolvikaPU.dll", "TovrinNet.dll", "UnzDll.dll",
                                         "ZipDll.dll"};

std::string TestFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::string folder = sv::Narrow(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Files an earlier run left behind would pass for downloads of this one.
void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW(sv::Wide(folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileW((sv::Wide(folder) + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::string Caption() { return sv::Ru(u8"Обновление программы Solvika"); }

// Polls until `check` holds or `ms` passed.
template <class Check>
bool WaitFor(Check check, DWORD ms = kStepWaitMs) {
  const DWORD start = GetTickCount();
  while (!check()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(kPollMs);
  }
  return true;
}

class UpdateWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TestFolder() + "update_wizard_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    CreateDirectoryW(sv::Wide(folder_).c_str(), nullptr);
    EmptyFolder(folder_);
    // The program folder is the folder of the running program: the wizard
    // runs from a copy of its own with the libraries it loads.
    for (const char* file : kProgramFiles)
      ASSERT_TRUE(CopyFileW(sv::Wide(TestFolder() + file).c_str(), sv::Wide(folder_ + file).c_str(), FALSE)) << file;
  }
  void TearDown() override {
    if (wizard_.Running()) uikit::CloseLeftovers(wizard_.Id(), nullptr);
    wizard_.Kill();
  }

  // Starts the wizard against `host` and waits for its window.
  HWND Start(const std::string& host) {
    EXPECT_TRUE(wizard_.Start(folder_ + "update_runner.exe", "-tnnetdefaulthost:" + host, folder_));
    return uikit::WaitTopWindow(L"TForm1", Caption().c_str(), wizard_.Id(), kStepWaitMs);
  }

  // Answers the wizard's message boxes until none comes for a while; each
  // box must have been read, so a box that went unseen fails the test.
  std::vector<uikit::MessageBoxSeen> AnswerEveryBox() {
    std::vector<uikit::MessageBoxSeen> seen;
    for (size_t tries = 0; tries < 3 * kMostBoxes; ++tries) {
      const auto box = uikit::WaitMessageBox(wizard_.Id(), seen.empty() ? kStepWaitMs : kQuietMs);
      if (!box.window) break;
      // A box that went between being found and being read is looked for again.
      if (box.text.empty() && !IsWindow(box.window)) continue;
      seen.push_back(box);
      uikit::Answer(box, IDOK);
      EXPECT_TRUE(uikit::WaitGone(box.window));
      if (seen.size() >= kMostBoxes) break;
    }
    return seen;
  }

  void CloseWith(HWND form, const std::string& button) {
    ASSERT_TRUE(uikit::Press(form, button));
    EXPECT_TRUE(uikit::WaitGone(form, kStepWaitMs));
    EXPECT_TRUE(wizard_.WaitExit(kStepWaitMs)) << "the engine stops and the process ends";
  }

  std::string folder_;
  uikit::RunningProcess wizard_;
};

TEST_F(UpdateWizard, NothingToUpdate) {
  REQUIRE_SERVER();
  nettest::PutServerFile("client/update.php.getfiles2.reply", "OK\r\nFILES\t\r\n");
  HWND form = Start(nettest::ServerHost());
  ASSERT_TRUE(form);
  EXPECT_TRUE(uikit::FindChild(form, sv::Ru(u8"Подготовка к обновлению...")));
  HWND start = uikit::FindChild(form, sv::Ru(u8"Старт >>"));
  ASSERT_TRUE(start);
  EXPECT_FALSE(IsWindowEnabled(start));

  const auto box = uikit::WaitMessageBox(wizard_.Id(), kStepWaitMs);
  ASSERT_TRUE(box.window);
  EXPECT_EQ(sv::Ru(u8"Обновления не найдены!"), box.text);
  EXPECT_EQ(Caption(), box.caption);
  uikit::Answer(box, IDOK);
  ASSERT_TRUE(WaitFor([&] { return uikit::FindChild(form, sv::Ru(u8"Финиш")) != nullptr; }));
  EXPECT_FALSE(IsWindowEnabled(start));
  CloseWith(form, sv::Ru(u8"Финиш"));
}

TEST_F(UpdateWizard, SmallUpdateIsDownloadedIntoTheProgramFolder) {
  REQUIRE_SERVER();
  const std::string notes = nettest::Pattern(3000, 7);
  const std::string package = nettest::Pattern(1500, 8);
  nettest::PutServerFile("client/update.php.getfiles2.reply",
                         "OK\r\nFILES\tnotes.uiu/Kept.txt@4\r\nPACKAGES\tfresh.uip/old.uip\r\n");
  nettest::PutServerFile("client/update.php.download.reply", "OK");
  nettest::PutServerFile("client/plugins/notes.uiu", notes);
  nettest::PutServerFile("client/plugins/lib/fresh.uip", package);
  ASSERT_TRUE(WriteFileBytes(folder_ + "Kept.txt", "kept"));
  ASSERT_TRUE(WriteFileBytes(folder_ + "SolvikaLC.ini", "[updates]\r\nold.uip=1\r\n"));

  HWND form = Start(nettest::ServerHost());
  ASSERT_TRUE(form);
  HWND start = uikit::FindChild(form, sv::Ru(u8"Старт >>"));
  ASSERT_TRUE(start);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(start) != FALSE; })) << "the size query ends";
  EXPECT_TRUE(uikit::FindChild(form, sv::Ru(u8"Размер файлов обновления 4 Кбайт")));
  EXPECT_TRUE(uikit::FindChild(form, sv::Ru(u8"Нажмите \"Старт\" для продолжения обновления")));

  ASSERT_TRUE(uikit::Press(form, sv::Ru(u8"Старт >>")));
  ASSERT_TRUE(WaitFor([&] { return uikit::FindChild(form, sv::Ru(u8"Обновление программы завершен") + "o"); }));
  EXPECT_TRUE(uikit::FindChild(form, sv::Ru(u8"Финиш")));
  EXPECT_FALSE(IsWindowVisible(uikit::FindChild(form, sv::Ru(u8"Размер файлов обновления 4 Кбайт"))));
  // Both stay in the program folder as they are; the package comes from the
  // server's lib folder but is applied from here at the next start.
  EXPECT_TRUE(notes == ReadFileBytes(folder_ + "notes.uiu"));
  EXPECT_TRUE(package == ReadFileBytes(folder_ + "fresh.uip"));
  EXPECT_FALSE(nettest::RequestsFor("/client/plugins/lib/fresh.uip", "").empty());
  EXPECT_EQ("kept", ReadFileBytes(folder_ + "Kept.txt"));

  // Only what was missing was asked for, and the finish was reported.
  EXPECT_TRUE(nettest::RequestsFor("old.uip", "").empty());
  EXPECT_TRUE(nettest::RequestsFor("Kept.txt", "").empty());
  EXPECT_FALSE(nettest::RequestsFor("stat=", "").empty());
  CloseWith(form, sv::Ru(u8"Финиш"));
}

TEST_F(UpdateWizard, NoNetworkMessageAndTheWizardStaysOpen) {
  HWND form = Start(nettest::DeadHost());
  ASSERT_TRUE(form);
  const auto box = uikit::WaitMessageBox(wizard_.Id(), kStepWaitMs);
  ASSERT_TRUE(box.window);
  EXPECT_EQ(Caption(), box.caption);
  EXPECT_NE(std::string::npos, box.text.find(sv::Ru(u8"Невозможно подключиться к серверу!")));
  uikit::Answer(box, IDOK);
  EXPECT_TRUE(IsWindow(form));
  EXPECT_FALSE(IsWindowEnabled(uikit::FindChild(form, sv::Ru(u8"Старт >>"))));
  CloseWith(form, sv::Ru(u8"Отменить"));
}

TEST_F(UpdateWizard, MissingNetworkLibraryIsReportedAndItsCallsSkipped) {
  DeleteFileW(sv::Wide(folder_ + "TovrinNet.dll").c_str());
  ASSERT_TRUE(wizard_.Start(folder_ + "update_runner.exe", "", folder_));
  // Every call that needs the library says so and is skipped; the window
  // then opens and stays where it was.
  const auto boxes = AnswerEveryBox();
  ASSERT_FALSE(boxes.empty());
  EXPECT_LT(boxes.size(), kMostBoxes);
  for (const auto& box : boxes) {
    EXPECT_EQ(sv::Ru(u8"Не найден модуль TovrinNet.dll"), box.text);
    EXPECT_EQ("Solvika Update", box.caption);
  }
  HWND form = uikit::WaitTopWindow(L"TForm1", Caption().c_str(), wizard_.Id(), kStepWaitMs);
  ASSERT_TRUE(form);
  EXPECT_TRUE(uikit::FindChild(form, sv::Ru(u8"Подготовка к обновлению...")));
  CloseWith(form, sv::Ru(u8"Отменить"));
}

TEST_F(UpdateWizard, OldNetworkLibraryWithoutTheFunctionIsReported) {
  ASSERT_TRUE(CopyFileW(sv::Wide(TestFolder() + "OldTovrinNet.dll").c_str(),
                        sv::Wide(folder_ + "TovrinNet.dll").c_str(), FALSE));
  ASSERT_TRUE(wizard_.Start(folder_ + "update_runner.exe", "", folder_));
  const std::string quote = "\"";
  const std::string expected = sv::Ru(u8"Не найдена точка входа в функцию ") + quote + "CreateHttpQuery" + quote +
                               sv::Ru(u8" в модуле ") + quote + "TovrinNet.dll" + quote + "\r" +
                               sv::Ru(u8"Возможно у Вас установленна старая версия программы ") + quote +
                               "Solvika Update" + quote + "\r" + sv::Ru(u8"  которая не поддержывает эту функцию") +
                               "\r" + sv::Ru(u8"Попробуйте обновить программу!");
  const auto boxes = AnswerEveryBox();
  ASSERT_FALSE(boxes.empty());
  EXPECT_LT(boxes.size(), kMostBoxes);
  // The box shows the text with its line breaks as separate lines.
  std::string shown = boxes.front().text;
  for (size_t at; (at = shown.find("\r\n")) != std::string::npos;) shown.erase(at + 1, 1);
  EXPECT_EQ(expected, shown);
  EXPECT_EQ("Solvika Update", boxes.front().caption);
  // Every later box names the function it could not find.
  for (const auto& box : boxes) EXPECT_NE(std::string::npos, box.text.find(sv::Ru(u8"Не найдена точка входа")));
  HWND form = uikit::WaitTopWindow(L"TForm1", Caption().c_str(), wizard_.Id(), kStepWaitMs);
  ASSERT_TRUE(form);
  CloseWith(form, sv::Ru(u8"Отменить"));
}

}  // namespace
