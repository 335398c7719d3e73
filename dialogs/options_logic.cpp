#include "options_logic.h"

#include "wide.h"

namespace dialogs {

ProxyChoice InitialProxyChoice(const std::string& storedHost, const std::string& portField,
                               const std::string& browserHost, const std::string& browserPort) {
  if (storedHost.empty()) return kProxyDirect;
  if (storedHost == browserHost && portField == browserPort) return kProxyBrowser;
  return kProxyOwn;
}

FieldStates FieldStatesFor(ProxyChoice choice) {
  switch (choice) {
    case kProxyDirect: return {false, false, false};
    case kProxyBrowser: return {false, true, true};
    default: return {true, true, false};
  }
}

bool ParsePort(const std::string& text, int64_t* port) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) return false;
  }
  *port = negative ? -value : value;
  return true;
}

bool ProxyFromFields(ProxyChoice choice, const std::string& server, const std::string& port, const std::string& login,
                     const std::string& password, ProxyToStore* out) {
  *out = ProxyToStore();
  if (choice == kProxyDirect) return true;
  int64_t number = 0;
  const bool isNumber = ParsePort(port, &number);
  // A port the proxy settings cannot hold (beyond 1..65535) is as wrong as
  // one that is no number: stored, it would silently become another port.
  const bool valid = isNumber && number > 0 && number <= UINT16_MAX;
  if (!server.empty() && !valid) return false;
  out->host = server;
  out->port = valid ? static_cast<uint16_t>(number) : 0;
  out->login = login;
  out->password = password;
  return true;
}

std::string AboutVersionLine(const std::string& versionText) {
  std::string v = versionText;
  if (v.size() >= 2) v.insert(v.size() - 2, ".");
  return sv::Ru(u8"Версия: ") + v;
}

}  // namespace dialogs
