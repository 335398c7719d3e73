// Makes the process convert and compare text as Russian Windows-1251, whatever
// the system's language, and logs the values before and after.
#pragma once

#include <string>

namespace shell {

constexpr unsigned long kRussianLocale = 1049;
constexpr unsigned kRussianCodePage = 1251;

// "SVMain > Charset Params > <thread locale> <its ANSI code page> <system ANSI code page>"
std::string CharsetParamsLine(unsigned long threadLocale, unsigned localeCodePage, unsigned systemCodePage);
// "True" or "False", as the log writes results.
const char* LogBool(bool value);

// Sets the thread locale and the runtime's default 8-bit code page; writes
// four lines to the debug log. Failures are logged and otherwise ignored.
void FixLocaleAndCodePage();

}  // namespace shell
