// System information, module versions, the proxy setting and the no-network
// message.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

TEST(SystemInfo, ModuleVersions) {
  EXPECT_EQ(11, GetDllModuleVersion("SolvikaUtils.dll"));
  EXPECT_EQ(0, GetDllModuleVersion("kernel32.dll")) << "a library without the export";
  EXPECT_EQ(0, GetDllModuleVersion("no_such_library.dll"));
}

TEST(SystemInfo, ApplicationParameters) {
  HWND before = GetApplHandle();
  SetApplParam((HWND)(intptr_t)0x1234, 418);
  EXPECT_EQ((HWND)(intptr_t)0x1234, GetApplHandle());
  EXPECT_EQ(418, GetProgVersion());
  EXPECT_EQ("418", sv::TakeOut([](SvStr* out) { GetProgVersionStr(out); }));
  SetApplParam(before, 65535);
  EXPECT_EQ("65535", sv::TakeOut([](SvStr* out) { GetProgVersionStr(out); })) << "the version is unsigned";
  SetApplParam(before, 0);
}

TEST(SystemInfo, VersionUserAndDrive) {
  std::string windows = sv::TakeOut([](SvStr* out) { GetWindowsVersion(out); });
  const char* known[] = {"??", "95", "98", "Me", "NT", "2k", "XP", "2k3", "LH"};
  EXPECT_NE(std::end(known), std::find(std::begin(known), std::end(known), windows)) << windows;

  std::string user = sv::TakeOut([](SvStr* out) { GetCurrentUserName(out); });
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(std::string::npos, user.find('\0'));

  DWORD serial = 0;
  GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
  EXPECT_EQ((uint32_t)serial, SVGetDriveSerial("c:\\windows"));
  std::string programDir = sv::TakeOut([](SvStr* out) { GetCurrDir(out); });
  DWORD own = 0;
  GetVolumeInformationW((sv::Wide(programDir.substr(0, 1)) + L":\\").c_str(), nullptr, 0, &own, nullptr, nullptr,
                        nullptr, 0);
  EXPECT_EQ((uint32_t)own, SVGetDriveSerial(""));
  EXPECT_EQ(0u, SVGetDriveSerial("?"));
}

namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Sets Internet Explorer's proxy values for one test and puts back what was there.
class IEProxy : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEnable_ = Read(L"ProxyEnable", &enable_);
    savedServer_ = Read(L"ProxyServer", &server_);
  }
  void TearDown() override {
    Restore(L"ProxyEnable", savedEnable_, enable_, REG_DWORD);
    Restore(L"ProxyServer", savedServer_, server_, REG_SZ);
  }
  void Set(DWORD enable, const wchar_t* server) {
    SHSetValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyEnable", REG_DWORD, &enable, sizeof(enable));
    SHSetValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyServer", REG_SZ, server,
                (DWORD)((wcslen(server) + 1) * 2));
  }
  bool Get(std::string* host, std::string* port) {
    SvStr h = sv::StrFromC("stale"), p = sv::StrFromC("stale");
    bool ok = SVGetIEProxyParams(&h, &p);
    *host = sv::Take(h);
    *port = sv::Take(p);
    return ok;
  }

 private:
  static bool Read(const wchar_t* name, std::string* bytes) {
    BYTE buf[4096];
    DWORD size = sizeof(buf);
    if (SHGetValueW(HKEY_CURRENT_USER, kInternetSettings, name, nullptr, buf, &size) != ERROR_SUCCESS) return false;
    bytes->assign((char*)buf, size);
    return true;
  }
  static void Restore(const wchar_t* name, bool saved, const std::string& bytes, DWORD type) {
    if (saved)
      SHSetValueW(HKEY_CURRENT_USER, kInternetSettings, name, type, bytes.data(), (DWORD)bytes.size());
    else
      SHDeleteValueW(HKEY_CURRENT_USER, kInternetSettings, name);
  }
  bool savedEnable_ = false, savedServer_ = false;
  std::string enable_, server_;
};

}  // namespace

TEST_F(IEProxy, PerProtocolPlainAndBrokenValues) {
  std::string host, port;
  Set(1, L"ftp=f:21;http=p:8080;https=s:443");
  EXPECT_TRUE(Get(&host, &port));
  EXPECT_EQ("p", host);
  EXPECT_EQ("8080", port);

  Set(1, L"p:3128");
  EXPECT_TRUE(Get(&host, &port));
  EXPECT_EQ("p", host);
  EXPECT_EQ("3128", port);

  Set(1, L"proxyhost");
  EXPECT_FALSE(Get(&host, &port));
  EXPECT_EQ("", host) << "outputs are cleared";

  Set(0, L"p:3128");
  EXPECT_FALSE(Get(&host, &port)) << "a disabled proxy is not reported";
}

namespace {

struct MessageBoxSeen {
  std::atomic<bool> found{false};
  std::wstring caption, text;
};

BOOL CALLBACK ReadAndClose(HWND w, LPARAM p) {
  wchar_t cls[64];
  GetClassNameW(w, cls, 64);
  if (wcscmp(cls, L"#32770") != 0) return TRUE;
  MessageBoxSeen* s = (MessageBoxSeen*)p;
  wchar_t buf[2048];
  GetWindowTextW(w, buf, 2048);
  s->caption = buf;
  GetDlgItemTextW(w, 0xFFFF, buf, 2048);
  s->text = buf;
  s->found = true;
  PostMessageW(w, WM_COMMAND, IDOK, 0);
  return FALSE;
}

// Finds the message box on `thread`, reads it and closes it.
void CloseMessageBox(DWORD thread, MessageBoxSeen* seen) {
  for (int i = 0; i < 500 && !seen->found; ++i) {
    EnumThreadWindows(
        thread,
        ReadAndClose,
        (LPARAM)seen);
    Sleep(20);
  }
}

}  // namespace

TEST(NoNetMessage, ExactTextWithAndWithoutExtra) {
  const std::wstring body =
      L"Невозможно подключиться к серверу!\r\r"
      L"Возможные причины:\r"
      L" - нет подключения к Интернету;\r"
      L" - Ваш фаервол или антивирус блокируют выход программы в Интернет;\r"
      L" - Вы используете прокси сервер, но в настройках программы это не указано.\r\r"
      L"Проверьте эти возможные причины и попытайтесь заново.";
  for (const char* extra : {"", "Extra"}) {
    MessageBoxSeen seen;
    std::thread closer(CloseMessageBox, GetCurrentThreadId(), &seen);
    AppShowNoNetMsg(sv::Ru(u8"Заголовок").c_str(), extra);
    closer.join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(L"Заголовок", seen.caption);
    std::wstring expected = *extra ? L"Extra\r" + body : body;
    EXPECT_EQ(expected, seen.text);
  }
}
