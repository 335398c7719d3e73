#include "settings.h"

#include "SolvikaUtils.h"
#include "svstring.h"

namespace dialogs {

namespace {
constexpr char kEmailKey[] = "EML";
}

std::string StoredEmail() {
  std::string stored = sv::TakeOut([](SvStr* out) { GetIniString(out, kSection, kEmailKey, ""); });
  return sv::Take(HTTP2Str(stored.c_str()));
}

void StoreEmail(const std::string& email) {
  sv::OwnedStr bytes(email);
  SetIniString(kSection, kEmailKey, sv::Take(Str2HTTP(bytes)).c_str());
}

std::string ProgramVersionText() { return sv::TakeOut(GetProgVersionStr); }
std::string ClientId() { return sv::TakeOut(GetProgramId); }

std::string UrlEncoded(const std::string& text) {
  sv::OwnedStr bytes(text);
  return sv::Take(UrlEncode(bytes));
}

}  // namespace dialogs
