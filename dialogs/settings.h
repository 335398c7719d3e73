// The dialogs' keys of section "Solvika" in the settings store.
#pragma once

#include <string>

namespace dialogs {

constexpr char kSection[] = "Solvika";

// "EML": the user's e-mail, stored encoded (Str2HTTP).
std::string StoredEmail();
void StoreEmail(const std::string& email);

std::string ProgramVersionText();
std::string ClientId();
std::string UrlEncoded(const std::string& text);

}  // namespace dialogs
