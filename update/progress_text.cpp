#include "progress_text.h"

namespace update {

namespace {

constexpr uint32_t kMsPerSecond = 1000;
// " Кбайт"
constexpr char kKilobytesSuffix[] = " \xca\xe1\xe0\xe9\xf2";
// " Кбайт/с"
constexpr char kSpeedSuffix[] = " \xca\xe1\xe0\xe9\xf2/\xf1";
// " из"
constexpr char kOfSuffix[] = " \xe8\xe7";
// "Размер файлов обновления "
constexpr char kSizePrefix[] = "\xd0\xe0\xe7\xec\xe5\xf0 \xf4\xe0\xe9\xeb\xee\xe2 \xee\xe1\xed\xee\xe2\xeb\xe5\xed\xe8\xff ";
// "Нажмите "Старт" для продолжения обновления"
constexpr char kStartPrompt[] =
    "\xcd\xe0\xe6\xec\xe8\xf2\xe5 \"\xd1\xf2\xe0\xf0\xf2\" \xe4\xeb\xff \xef\xf0\xee\xe4\xee\xeb\xe6\xe5\xed\xe8\xff "
    "\xee\xe1\xed\xee\xe2\xeb\xe5\xed\xe8\xff";

}  // namespace

int ProgressPercent(uint64_t received, uint64_t total) {
  if (total == 0) return 100;
  // received can exceed the announced total (a server that lied about a
  // length).
  if (received >= total) return 100;
  // Scale both down where received * 100 would overflow; the ratio stays.
  while (received > UINT64_MAX / 100) {
    received >>= 1;
    total >>= 1;
  }
  return int(received * 100 / total);
}

ProgressTexts MakeProgressTexts(uint64_t received, uint64_t total, uint32_t elapsedMs) {
  ProgressTexts texts;
  texts.percent = ProgressPercent(received, total);
  texts.received = std::to_string(Kilobytes(received)) + kOfSuffix;
  texts.percentage = std::to_string(texts.percent) + "%";
  const uint32_t seconds = elapsedMs / kMsPerSecond;
  if (seconds >= 1) texts.speed = std::to_string(Kilobytes(received) / seconds) + kSpeedSuffix;
  return texts;
}

std::string TotalSizeLabel(uint64_t total) { return std::to_string(Kilobytes(total)) + kKilobytesSuffix; }

std::string SizeAnnouncement(uint64_t total) { return kSizePrefix + TotalSizeLabel(total); }

std::string StartPrompt() { return kStartPrompt; }

}  // namespace update
