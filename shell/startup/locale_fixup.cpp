#include "locale_fixup.h"

#include <windows.h>

#include <clocale>

#include "decimal.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

// The default ANSI code page of `locale`, 0 when the system does not give a
// number for it.
unsigned LocaleCodePage(LCID locale) {
  wchar_t value[16] = {};
  if (!GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE, value, 16)) return 0;
  std::string text = sv::Narrow(value);
  return sv::IsDecimal(text) ? sv::ParseDecimal(text) : 0;
}

void LogCharsetParams() {
  LCID locale = GetThreadLocale();
  DebugWrite(CharsetParamsLine(locale, LocaleCodePage(locale), GetACP()).c_str());
}

}  // namespace

std::string CharsetParamsLine(unsigned long threadLocale, unsigned localeCodePage, unsigned systemCodePage) {
  return "SVMain > Charset Params > " + std::to_string(threadLocale) + " " + std::to_string(localeCodePage) + " " +
         std::to_string(systemCodePage);
}

const char* LogBool(bool value) { return value ? "True" : "False"; }

void FixLocaleAndCodePage() {
  LogCharsetParams();
  bool localeSet = SetThreadLocale(kRussianLocale) != 0;
  DebugWrite((std::string("SVMain > SetThreadLocale > ") + LogBool(localeSet)).c_str());
  // The system's own conversions all go through sv::Wide and sv::Narrow,
  // which name code page 1251 explicitly; what is left is the C runtime's
  // default for mbstowcs and the like.
  bool codePageSet = setlocale(LC_CTYPE, ".1251") != nullptr;
  DebugWrite((std::string("SVMain > FixDefaultUserCodePage > ") + LogBool(codePageSet)).c_str());
  LogCharsetParams();
}

}  // namespace shell
