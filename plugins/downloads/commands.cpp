#include "commands.h"

namespace fetchkeeper {

namespace {

constexpr char kHttpPrefix[] = "HTTP://";
constexpr size_t kHttpPrefixLength = sizeof(kHttpPrefix) - 1;
constexpr size_t kDriveRootLength = 3;  // "C:\"

}  // namespace

int SpeedButtonImage(int32_t threadsSleep) {
  if (threadsSleep >= 100) return 11;
  if (threadsSleep >= 50) return 12;
  if (threadsSleep >= 20) return 13;
  if (threadsSleep >= 10) return 14;
  if (threadsSleep >= 5) return 15;
  if (threadsSleep >= 2) return 16;
  return 17;
}

int ThreadsButtonImage(int32_t threadsCount) {
  if (threadsCount < 2) return 7;
  if (threadsCount < 5) return 8;
  if (threadsCount < 10) return 9;
  return 10;
}

std::string DeletionQuestion(Deletion deletion) {
  switch (deletion) {
    case Deletion::kSelected:  // "Удалить эту закачку из списка?"
      return "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xFD\xF2\xF3 \xE7\xE0\xEA\xE0\xF7\xEA\xF3 \xE8\xE7 \xF1\xEF\xE8\xF1\xEA\xE0?";
    case Deletion::kFinished:  // "Удалить все завершенные закачки?"
      return "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xE2\xF1\xE5 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xED\xFB\xE5 "
             "\xE7\xE0\xEA\xE0\xF7\xEA\xE8?";
    case Deletion::kFailed:  // "Удалить все ошибочные закачки?"
      return "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xE2\xF1\xE5 \xEE\xF8\xE8\xE1\xEE\xF7\xED\xFB\xE5 "
             "\xE7\xE0\xEA\xE0\xF7\xEA\xE8?";
  }
  return std::string();
}

bool IsAcceptedUrl(std::string_view url) {
  if (url.size() < kHttpPrefixLength) return false;
  for (size_t i = 0; i < kHttpPrefixLength; ++i) {
    char c = url[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kHttpPrefix[i]) return false;
  }
  return true;
}

std::string RefusedUrlText() {
  // "Не правильной URL!\r\rПринимаються ссылки только вида:\r  http://сервер/файл\r
  //  http://сервер/папка/файл\r  http://сервер/папка/../папка/файл"
  return "\xCD\xE5 \xEF\xF0\xE0\xE2\xE8\xEB\xFC\xED\xEE\xE9 URL!\r\r"
         "\xCF\xF0\xE8\xED\xE8\xEC\xE0\xFE\xF2\xFC\xF1\xFF \xF1\xF1\xFB\xEB\xEA\xE8 \xF2\xEE\xEB\xFC\xEA\xEE "
         "\xE2\xE8\xE4\xE0:\r"
         "  http://\xF1\xE5\xF0\xE2\xE5\xF0/\xF4\xE0\xE9\xEB\r"
         "  http://\xF1\xE5\xF0\xE2\xE5\xF0/\xEF\xE0\xEF\xEA\xE0/\xF4\xE0\xE9\xEB\r"
         "  http://\xF1\xE5\xF0\xE2\xE5\xF0/\xEF\xE0\xEF\xEA\xE0/../\xEF\xE0\xEF\xEA\xE0/\xF4\xE0\xE9\xEB";
}

std::string DefaultSaveFolder(std::string_view stored, std::string_view programFolder) {
  if (!stored.empty()) return std::string(stored);
  return std::string(programFolder.substr(0, kDriveRootLength)) + "SVDownloads";
}

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace fetchkeeper
