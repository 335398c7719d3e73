// What the options dialog decides, without a window: which proxy button is
// ticked at opening, which fields each button enables, the port check, and
// the about box's version line.
#pragma once

#include <stdint.h>

#include <string>

namespace dialogs {

enum ProxyChoice { kProxyDirect = 0, kProxyBrowser = 1, kProxyOwn = 2 };

ProxyChoice InitialProxyChoice(const std::string& storedHost, const std::string& portField,
                               const std::string& browserHost, const std::string& browserPort);

struct FieldStates {
  bool serverPort = false;      // server and port fields with their labels
  bool loginPassword = false;   // login and password fields with their labels
  bool fillFromBrowser = false; // server and port show the browser's values
};
FieldStates FieldStatesFor(ProxyChoice choice);

// The port field as a number; false when it is no integer.
bool ParsePort(const std::string& text, int64_t* port);

struct ProxyToStore {
  std::string host, login, password;
  uint16_t port = 0;
};
// The proxy that "Сохранить" stores; false when the port is wrong
// ("Неверно задан порт") and the dialog stays open.
bool ProxyFromFields(ProxyChoice choice, const std::string& server, const std::string& port, const std::string& login,
                     const std::string& password, ProxyToStore* out);

// "Версия: " and the version text with a dot before its last two characters.
std::string AboutVersionLine(const std::string& versionText);

}  // namespace dialogs
