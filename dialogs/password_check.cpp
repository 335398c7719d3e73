#include "password_check.h"

namespace dialogs {

PasswordVerdict CheckPasswordFields(const std::string& password, const std::string& confirmation,
                                    const std::string& email, const std::function<bool(const std::string&)>& isValidEmail) {
  PasswordVerdict v;
  if (password.empty()) {
    v.problem = PasswordProblem::kNoPassword;
    v.clearConfirmation = v.focusPassword = true;
  } else if (password != confirmation) {
    v.problem = PasswordProblem::kMismatch;
    v.clearPassword = v.clearConfirmation = v.focusPassword = true;
  } else if (email.empty()) {
    v.problem = PasswordProblem::kNoEmail;
  } else if (!isValidEmail(email)) {
    v.problem = PasswordProblem::kInvalidEmail;
  }
  return v;
}

std::string TrimmedEmail(const std::string& field) {
  const char* blanks = " \t\r\n";
  size_t b = field.find_first_not_of(blanks);
  if (b == std::string::npos) return std::string();
  return field.substr(b, field.find_last_not_of(blanks) - b + 1);
}

std::string RegisterPasswordPath(const std::string& clientId, const std::string& version,
                                 const std::string& encodedPassword, const std::string& encodedEmail) {
  return "client/register.php?act=set&stat=" + clientId + "&ver=" + version + "&pw=" + encodedPassword +
         "&email=" + encodedEmail;
}

}  // namespace dialogs
