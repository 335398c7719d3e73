// The texts the chooser's dialogs show, in Windows-1251.
#pragma once

#include <string>
#include <string_view>

namespace chooser {

// "Загрузить "<title>"?"
std::string SingleQuestion(std::string_view title1251);

}  // namespace chooser
