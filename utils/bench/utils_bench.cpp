// Timing of SolvikaUtils against reference work (see tools/bench/utils_bench.sh).
//
//   utils_bench md5 <file>        digests the file with MD5File three times;
//                                 prints "md5_ms=<best> digest=<text>"
//   utils_bench search <MB>       builds <MB> megabytes of word text and counts
//                                 every occurrence of patterns of 4 to 64 bytes
//                                 with FastPos, FastPosNoCase and
//                                 std::string_view::find (best of three runs);
//                                 prints one Markdown table row per length
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "SolvikaUtils.h"

namespace {

double NowMs() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER x;
    QueryPerformanceFrequency(&x);
    return x;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return (double)t.QuadPart * 1000.0 / (double)f.QuadPart;
}

template <class F>
double Best(F work) {
  double best = 1e300;
  for (int run = 0; run < 3; ++run) {
    double t0 = NowMs();
    work();
    double t = NowMs() - t0;
    if (t < best) best = t;
  }
  return best;
}

int Md5(const char* file) {
  std::string digest;
  double ms = Best([&] {
    SvStr d = MD5File(file);
    digest = d ? d : "";
    sv::Release(d);
  });
  std::printf("md5_ms=%.1f digest=%s\n", ms, digest.c_str());
  return digest.empty() ? 1 : 0;
}

// Russian and Latin words (Windows-1251) with spaces and punctuation, in a
// fixed pseudo-random order.
std::string MakeText(size_t bytes) {
  static const char* const kWords[] = {
      "\xef\xf0\xe8\xe2\xe5\xf2", "\xec\xe8\xf0", "\xe4\xee\xec", "\xf1\xf2\xee\xeb", "\xee\xea\xed\xee",
      "\xf1\xe5\xf0\xe2\xe5\xf0", "\xf4\xe0\xe9\xeb", "\xef\xee\xe8\xf1\xea", "\xf2\xe5\xea\xf1\xf2",
      "\xed\xe0\xf1\xf2\xf0\xee\xe9\xea\xe8", "\xee\xe1\xed\xee\xe2\xeb\xe5\xed\xe8\xe5", "\xe8", "\xe2",
      "\xed\xe0", "\xef\xee", "the", "of", "and", "download", "plugin", "server", "update", "version", "file",
      "settings", "window", "text", "search", "record", "2008", "418", "\xc4\xee\xea\xf3\xec\xe5\xed\xf2",
      "\xc0\xf0\xf5\xe8\xe2"};
  const size_t count = sizeof kWords / sizeof kWords[0];
  std::string s;
  s.reserve(bytes + 64);
  uint32_t x = 2463534242u;
  while (s.size() < bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s += kWords[x % count];
    s += (x >> 8) % 11 == 0 ? ", " : (x >> 8) % 17 == 0 ? ".\r\n" : " ";
  }
  s.resize(bytes);
  return s;
}

int Search(int megabytes) {
  const std::string text = MakeText((size_t)megabytes * 1024 * 1024);
  const std::string_view view(text);
  // Patterns built from the text's own words in an order the text never has,
  // so that partial matches are as frequent as in real searches.
  const std::string source =
      "\xf1\xe5\xf0\xe2\xe5\xf0-\xf4\xe0\xe9\xeb-\xef\xee\xe8\xf1\xea-\xf2\xe5\xea\xf1\xf2-"
      "settings-window-text-search-record-update-version-file-plugin-download-server-of-the-and";
  std::printf("| pattern bytes | FastPos (ms) | FastPosNoCase (ms) | string_view::find (ms) | FastPos speed-up |\n");
  std::printf("|---|---|---|---|---|\n");
  for (int m : {4, 8, 16, 32, 64}) {
    const std::string pattern = source.substr(0, (size_t)m);
    long fast = 0, noCase = 0, ref = 0;
    double tFast = Best([&] {
      fast = 0;
      for (int32_t at = 1; (at = FastPos(text.data(), pattern.data(), (int32_t)text.size(), m, at)) != 0; ++at)
        ++fast;
    });
    double tNoCase = Best([&] {
      noCase = 0;
      for (int32_t at = 1;
           (at = FastPosNoCase(text.data(), pattern.data(), (int32_t)text.size(), m, at)) != 0; ++at)
        ++noCase;
    });
    double tRef = Best([&] {
      ref = 0;
      for (size_t at = 0; (at = view.find(pattern, at)) != std::string_view::npos; ++at) ++ref;
    });
    if (fast != ref || noCase < ref) {
      std::fprintf(stderr, "counts differ for %d bytes: %ld %ld %ld\n", m, fast, noCase, ref);
      return 1;
    }
    std::printf("| %d | %.1f | %.1f | %.1f | %.2f |\n", m, tFast, tNoCase, tRef, tRef / tFast);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "md5") return Md5(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "search") return Search(std::atoi(argv[2]));
  std::fprintf(stderr, "usage: utils_bench md5 <file> | search <MB>\n");
  return 2;
}
