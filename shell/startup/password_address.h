// The page that the password window's "Забыл пароль!" link opens.
#pragma once

#include <string>

namespace shell {

constexpr char kRegisterPage[] = "client/register.php?act=send&stat=";

// The main script base (or the maker's site root when the engine knows no
// script host yet) + the registration page + the client identifier.
inline std::string ForgottenPasswordAddress(const std::string& script_base, const std::string& site_root,
                                            const std::string& client_id) {
  return (script_base.empty() ? site_root : script_base) + kRegisterPage + client_id;
}

}  // namespace shell
