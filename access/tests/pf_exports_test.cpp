// TovrinPF as its callers use it: the access file in the Windows folder, the
// shell's password window and error box answered as a person would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "SolvikaUtils.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

extern "C" {
__declspec(dllimport) int32_t SVAPI GetModuleVersion();
__declspec(dllimport) void SVAPI PFRegisterModule(const char* module, const char* section);
__declspec(dllimport) void SVAPI PFUnregisterModule(const char* module, const char* section);
__declspec(dllimport) uint8_t SVAPI PFStatus(uint8_t status);
__declspec(dllimport) uint8_t SVAPI PFExit();
__declspec(dllimport) uint8_t SVAPI PFEnter(const char* prompt);
__declspec(dllimport) uint8_t SVAPI PFEnter2(const char* prompt);
__declspec(dllimport) SvBool SVAPI PFGetAccess(const char* module, const char* item);
__declspec(dllimport) SvBool SVAPI PFChPass(const char* password);
__declspec(dllimport) SvBool SVAPI PFisPassEmpty();
__declspec(dllimport) SvBool SVAPI PFGetCStatus(const char* section, const char* item);
__declspec(dllimport) void SVAPI PFSetCStatus(const char* section, const char* item, SvBool flag);
__declspec(dllimport) void SVAPI PFGetSection(SvStr* out, const char* section);
__declspec(dllimport) void SVAPI PFGetSections(SvStr* out);
__declspec(dllimport) void SVAPI PFCryptToStr(SvStr* out, const char* stored);
__declspec(dllimport) void SVAPI PFGetCaption(SvStr* out, const char* module);
__declspec(dllimport) int32_t SVAPI PFGetParam(const char* key, int32_t def);
__declspec(dllimport) void SVAPI PFSetParam(const char* key, int32_t value);
}

namespace {

std::string R(const char* utf8) { return sv::Ru(utf8); }

std::string Hex(const std::string& bytes) {
  sv::OwnedStr a(bytes);
  return sv::Take(Str2HTTP(a));
}

std::string WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return sv::Narrow(folder) + "\\";
}

std::string ProgramFolder() {
  return sv::TakeOut([](SvStr* out) { GetCurrDir(out); });
}

class AccessExports : public ::testing::Test {
 protected:
  // The access file belongs to the machine: keep the one there and restore it.
  void SetUp() override {
    file_ = WindowsFolder() + "qzwcontrol.ini";
    saved_ = file_ + ".saved-by-test";
    MoveFileExW(sv::Wide(file_).c_str(), sv::Wide(saved_).c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  void TearDown() override {
    DeleteFileW(sv::Wide(file_).c_str());
    MoveFileExW(sv::Wide(saved_).c_str(), sv::Wide(file_).c_str(), MOVEFILE_REPLACE_EXISTING);
    DeleteFileW(sv::Wide(ProgramFolder() + "pf_desc.ini").c_str());
  }
  std::string Stored() { return ReadFileBytes(file_); }

  // Runs `call` while another thread answers the password window with
  // `answer` (Enter), or Escape when `answer` is null; returns whether the
  // window appeared.
  template <class F>
  bool WithPasswordAnswer(const char* answer, F call) {
    bool asked = false;
    std::thread user([&] {
      HWND form = uikit::WaitTopWindow(L"TPasswordForm", nullptr, GetCurrentProcessId(), 5000);
      if (!form) return;
      asked = true;
      HWND edit = uikit::FindChild(form, nullptr, L"Edit");
      if (answer) uikit::SetText(edit, answer);
      uikit::PressKey(edit, answer ? VK_RETURN : VK_ESCAPE);
    });
    call();
    user.join();
    return asked;
  }

  std::string file_, saved_;
};

TEST_F(AccessExports, WithoutAnAccessFileEverythingIsOpen) {
  EXPECT_EQ(11, GetModuleVersion());
  EXPECT_EQ(3, PFStatus(0));
  EXPECT_EQ(1, PFisPassEmpty());
  bool asked = WithPasswordAnswer(nullptr, [] { EXPECT_EQ(1, PFGetAccess("Plugins", "*Lexikon")); });
  EXPECT_FALSE(asked);
  EXPECT_EQ("", sv::TakeOut([](SvStr* out) { PFGetSections(out); }));
}

TEST_F(AccessExports, StoredFormsAreHexadecimal) {
  PFRegisterModule("Plugins", "Tovrin.ini");
  PFChPass(R(u8"пароль").c_str());
  PFStatus(1);
  PFSetCStatus("Tovrin.ini", R(u8"*Словарь").c_str(), 1);
  std::string stored = Stored();
  sv::OwnedStr password(R(u8"пароль"));
  std::string digest = sv::Take(MD5(password));
  EXPECT_NE(std::string::npos, stored.find("Status=" + Hex(digest))) << stored;
  EXPECT_NE(std::string::npos, stored.find("Position=1")) << stored;
  EXPECT_NE(std::string::npos, stored.find("[" + Hex("Tovrin.ini") + "]")) << stored;
  EXPECT_NE(std::string::npos, stored.find(Hex("Module") + "=" + Hex("Plugins"))) << stored;
  EXPECT_NE(std::string::npos, stored.find(Hex(R(u8"*Словарь")) + "=1")) << stored;
  EXPECT_EQ("Tovrin.ini/Plugins\t", sv::TakeOut([](SvStr* out) { PFGetSections(out); }));
  EXPECT_EQ(R(u8"*Словарь"), sv::TakeOut([&](SvStr* out) { PFCryptToStr(out, Hex(R(u8"*Словарь")).c_str()); }));

  PFSetCStatus("Tovrin.ini", R(u8"*Словарь").c_str(), 0);
  EXPECT_EQ(0, PFGetCStatus("Tovrin.ini", R(u8"*Словарь").c_str()));
  EXPECT_EQ(Hex("Module") + "=" + Hex("Plugins"), sv::TakeOut([](SvStr* out) { PFGetSection(out, "Tovrin.ini"); }));
  PFUnregisterModule("", "Tovrin.ini");
  EXPECT_EQ("", sv::TakeOut([](SvStr* out) { PFGetSections(out); }));
}

TEST_F(AccessExports, ProtectedItemAsksThroughTheShellsPasswordWindow) {
  PFRegisterModule("Plugins", "Tovrin.ini");
  PFChPass("right");
  PFStatus(1);
  PFSetCStatus("Tovrin.ini", "*Lexikon", 1);

  SvBool granted = 0;
  EXPECT_TRUE(WithPasswordAnswer("right", [&] { granted = PFGetAccess("Plugins", "*Lexikon"); }));
  EXPECT_EQ(1, granted);
  EXPECT_EQ(1, PFStatus(0)) << "the status stays on";

  uikit::MessageBoxSeen box;
  std::thread boxes([&] {
    box = uikit::WaitMessageBox(GetCurrentProcessId(), 15000);
    if (box.window) uikit::Answer(box, IDOK);
  });
  EXPECT_TRUE(WithPasswordAnswer("wrong", [&] { granted = PFGetAccess("Plugins", "*Lexikon"); }));
  boxes.join();
  EXPECT_EQ(0, granted);
  EXPECT_EQ(R(u8"Пароль не правильный!"), box.text);
  EXPECT_EQ(R(u8"Управление доступом"), box.caption);

  EXPECT_TRUE(WithPasswordAnswer(nullptr, [&] { EXPECT_EQ(2, PFEnter("p")); }));
  EXPECT_TRUE(WithPasswordAnswer("wrong", [&] { EXPECT_EQ(1, PFEnter2("p")); }));
  PFStatus(2);
  EXPECT_FALSE(WithPasswordAnswer(nullptr, [&] { EXPECT_EQ(0, PFEnter("p")); }));
  EXPECT_EQ(1, PFExit());
  EXPECT_EQ(1, PFStatus(0));
}

TEST_F(AccessExports, CategoryChainsComeFromTheModulesDescriptionFile) {
  // Games protected; Chess is a Board game, Board is in Games; a loop elsewhere.
  WriteFileBytes(ProgramFolder() + "pf_desc.ini", R(u8"[*Chess]\r\nCategory=Board\r\n[+Board]\r\nCategory=Игры\r\n"
                                                   "[*Loop]\r\nCategory=A\r\n[+A]\r\nCategory=B\r\n[+B]\r\nCategory=A\r\n"));
  PFRegisterModule("Plugins", "pf_desc.ini");
  PFChPass("pw");
  PFStatus(1);
  PFSetCStatus("pf_desc.ini", R(u8"+Игры").c_str(), 1);
  EXPECT_TRUE(WithPasswordAnswer(nullptr, [] { EXPECT_EQ(0, PFGetAccess("Plugins", "*Chess")); }));
  EXPECT_FALSE(WithPasswordAnswer(nullptr, [] { EXPECT_EQ(1, PFGetAccess("Plugins", "*Loop")); }));
}

TEST_F(AccessExports, CaptionsAndParameters) {
  EXPECT_EQ(R(u8"<Без имени>"), sv::TakeOut([](SvStr* out) { PFGetCaption(out, ""); }));
  EXPECT_EQ(R(u8"Плагины программы"), sv::TakeOut([](SvStr* out) { PFGetCaption(out, "Plugins"); }));
  EXPECT_EQ(R(u8"<Без имени>"), sv::TakeOut([](SvStr* out) { PFGetCaption(out, "NoSuchModule-pf"); }));
  EXPECT_EQ(5, PFGetParam("Width", 5));
  PFSetParam("Width", 640);
  EXPECT_EQ(640, PFGetParam("Width", 5));
  EXPECT_NE(std::string::npos, Stored().find("Width=640"));
}

}  // namespace
