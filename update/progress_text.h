// The wizard's figures and texts for the total size and the download
// progress. Plain code: the window only puts these strings into its labels.
#pragma once

#include <cstdint>
#include <string>

namespace update {

constexpr unsigned kKilobyteShift = 10;

inline uint64_t Kilobytes(uint64_t bytes) { return bytes >> kKilobyteShift; }

// received * 100 / total, at most 100; 100 when the total is 0.
int ProgressPercent(uint64_t received, uint64_t total);

struct ProgressTexts {
  int percent = 0;
  std::string received;   // "<KB> из"
  std::string percentage; // "<n>%"
  std::string speed;      // "<KB/s> Кбайт/с"; empty before a whole second passed
};
ProgressTexts MakeProgressTexts(uint64_t received, uint64_t total, uint32_t elapsedMs);

std::string TotalSizeLabel(uint64_t total);   // "<KB> Кбайт"
std::string SizeAnnouncement(uint64_t total); // "Размер файлов обновления <KB> Кбайт"
std::string StartPrompt();                    // "Нажмите "Старт" для продолжения обновления"

}  // namespace update
