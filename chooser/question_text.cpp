#include "question_text.h"

namespace chooser {

std::string SingleQuestion(std::string_view title1251) {
  // "Загрузить " in Windows-1251.
  std::string text = "\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC ";
  text += '"';
  text += title1251;
  text += "\"?";
  return text;
}

}  // namespace chooser
