// Exports of TovrinPF.dll: the access control over the access file, with the
// shell's password window and error box reached through TovrinMain.
#include <windows.h>

#include "SolvikaUtils.h"
#include "access_core.h"
#include "access_file.h"
#include "guard.h"
#include "svstring.h"

// The shell's services under their old library's name. Declared here: the
// shell's own header is not this library's to include.
extern "C" __declspec(dllimport) void SVAPI InputPassword(SvStr* password, const char* prompt);
extern "C" __declspec(dllimport) void SVAPI MsgBoxError(const char* text, const char* caption);

namespace {

constexpr int32_t kModuleVersion = 11;
constexpr char kModuleNameKey[] = "Name";
constexpr char kModuleSectionPrefix[] = "*";

class SystemServices : public pf::Services {
 public:
  std::string ToStored(const std::string& plain) override {
    sv::OwnedStr bytes(plain);
    return sv::Take(Str2HTTP(bytes.Get()));
  }
  std::string ToPlain(const std::string& stored) override { return sv::Take(HTTP2Str(stored.c_str())); }
  std::string Md5Text(const std::string& text) override {
    sv::OwnedStr bytes(text);
    return sv::Take(MD5(bytes.Get()));
  }
  std::string DescriptionCategory(const std::string& section_id, const std::string& item) override {
    std::string file = sv::TakeOut(GetCurrDir) + section_id;
    return sv::TakeOut([&](SvStr* out) { GetCustomIniString(out, item.c_str(), pf::kCategoryKey, file.c_str(), ""); });
  }
  std::string AskPassword(const std::string& prompt) override {
    return sv::TakeOut([&](SvStr* out) { InputPassword(out, prompt.c_str()); });
  }
  void ShowError(const std::string& text, const std::string& caption) override {
    MsgBoxError(text.c_str(), caption.c_str());
  }
  std::string ModuleName(const std::string& module) override {
    const std::string section = kModuleSectionPrefix + module;
    return sv::TakeOut([&](SvStr* out) { GetIniString(out, section.c_str(), kModuleNameKey, ""); });
  }
};

// Runs `body` with an access control over the access file as it is now.
template <class T, class F>
T WithAccess(T failure, F body) {
  return sv::Guard<T>(failure, [&] {
    pf::ProfileAccessFile file;
    SystemServices services;
    pf::AccessControl control(file, services);
    return body(control);
  });
}

// The same for the exports without a result.
template <class F>
void WithAccessDo(F body) {
  WithAccess(0, [&](pf::AccessControl& c) {
    body(c);
    return 0;
  });
}

std::string Arg(const char* text) { return std::string(sv::Text(text)); }

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

void SVAPI PFRegisterModule(const char* module, const char* section) {
  WithAccessDo([&](pf::AccessControl& c) { c.RegisterModule(Arg(module), Arg(section)); });
}

void SVAPI PFUnregisterModule(const char* /*module: not used*/, const char* section) {
  WithAccessDo([&](pf::AccessControl& c) { c.UnregisterModule(Arg(section)); });
}

uint8_t SVAPI PFStatus(uint8_t status) {
  return WithAccess<uint8_t>(pf::kProtectionOff, [&](pf::AccessControl& c) { return c.SetOrGetStatus(status); });
}

uint8_t SVAPI PFExit() {
  return WithAccess<uint8_t>(pf::kProtectionOff, [&](pf::AccessControl& c) { return c.Exit(); });
}

uint8_t SVAPI PFEnter(const char* prompt) {
  return WithAccess<uint8_t>(pf::kCancelled, [&](pf::AccessControl& c) { return c.Enter(Arg(prompt)); });
}

uint8_t SVAPI PFEnter2(const char* prompt) {
  return WithAccess<uint8_t>(pf::kCancelled,
                             [&](pf::AccessControl& c) { return c.EnterIfPassword(Arg(prompt)); });
}

SvBool SVAPI PFGetAccess(const char* module, const char* item) {
  return WithAccess<SvBool>(0, [&](pf::AccessControl& c) { return (SvBool)c.GetAccess(Arg(module), Arg(item)); });
}

SvBool SVAPI PFChPass(const char* password) {
  return WithAccess<SvBool>(0, [&](pf::AccessControl& c) {
    c.ChangePassword(Arg(password));
    return (SvBool)1;
  });
}

SvBool SVAPI PFisPassEmpty() {
  return WithAccess<SvBool>(1, [&](pf::AccessControl& c) { return (SvBool)c.IsPasswordEmpty(); });
}

SvBool SVAPI PFGetCStatus(const char* section, const char* item) {
  return WithAccess<SvBool>(0, [&](pf::AccessControl& c) { return (SvBool)c.GetFlag(Arg(section), Arg(item)); });
}

void SVAPI PFSetCStatus(const char* section, const char* item, SvBool flag) {
  WithAccessDo([&](pf::AccessControl& c) { c.SetFlag(Arg(section), Arg(item), flag != 0); });
}

void SVAPI PFGetSection(SvStr* out, const char* section) {
  WithAccessDo([&](pf::AccessControl& c) { sv::PutStr(out, c.SectionText(Arg(section))); });
}

void SVAPI PFGetSections(SvStr* out) {
  WithAccessDo([&](pf::AccessControl& c) { sv::PutStr(out, c.SectionsText()); });
}

void SVAPI PFCryptToStr(SvStr* out, const char* stored) {
  sv::GuardVoid([&] { sv::PutStr(out, sv::Take(HTTP2Str(stored))); });
}

void SVAPI PFGetCaption(SvStr* out, const char* module) {
  WithAccessDo([&](pf::AccessControl& c) { sv::PutStr(out, c.Caption(Arg(module))); });
}

int32_t SVAPI PFGetParam(const char* key, int32_t def) {
  return WithAccess<int32_t>(def, [&](pf::AccessControl& c) { return c.GetParam(Arg(key), def); });
}

void SVAPI PFSetParam(const char* key, int32_t value) {
  WithAccessDo([&](pf::AccessControl& c) { c.SetParam(Arg(key), value); });
}

}  // extern "C"
