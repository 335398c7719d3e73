// What the password window decides, without a window: which check the typed
// fields fail (in the order the window asks them) and the registration query.
#pragma once

#include <functional>
#include <string>

namespace dialogs {

constexpr int kPasswordLimit = 20, kEmailLimit = 50;

enum class PasswordProblem {
  kNone,          // all fields fine: register the password
  kNoPassword,    // "Задайте пароль"
  kMismatch,      // "Подтверждение не совпадает"
  kNoEmail,       // "Задайте свой E-Mail"
  kInvalidEmail,  // "Задайте правильно свой E-Mail"
};

struct PasswordVerdict {
  PasswordProblem problem = PasswordProblem::kNone;
  bool clearPassword = false, clearConfirmation = false;  // fields to empty
  bool focusPassword = false;                             // focus the first field
};

// `email` is the field's text already trimmed; `isValidEmail` is asked only
// about a non-empty address.
PasswordVerdict CheckPasswordFields(const std::string& password, const std::string& confirmation,
                                    const std::string& email, const std::function<bool(const std::string&)>& isValidEmail);

// The e-mail field as the check and the store see it: blanks at both ends
// removed.
std::string TrimmedEmail(const std::string& field);

// Path and query of the registration; password and e-mail URL-encoded by the
// caller.
std::string RegisterPasswordPath(const std::string& clientId, const std::string& version,
                                 const std::string& encodedPassword, const std::string& encodedEmail);

}  // namespace dialogs
