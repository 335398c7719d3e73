// lexbuild: makes the dictionary files "Lex.sin", "Lex.swd" and "Lex.svl" of
// the Lexikon plugin from a source text (format in lex_build.h).
//
//   lexbuild SOURCE.txt OUTPUT-FOLDER
//
// Runs on the build machine; exit code 0 on success, 1 on any failure.
#include <stdio.h>

#include <fstream>
#include <iterator>
#include <string>

#include "lex_build.h"
#include "lex_format.h"

namespace {

bool ReadAll(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: lexbuild SOURCE.txt OUTPUT-FOLDER\n");
    return 1;
  }
  std::string source;
  if (!ReadAll(argv[1], &source)) {
    fprintf(stderr, "lexbuild: cannot read %s\n", argv[1]);
    return 1;
  }
  lex::BuiltFiles files;
  lex::BuildReport report;
  std::string error;
  if (!lex::BuildDictionary(lex::ParseSource(source), &files, &report, &error)) {
    fprintf(stderr, "lexbuild: %s\n", error.c_str());
    return 1;
  }
  std::string folder = argv[2];
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::pair<const char*, const std::string*> outputs[] = {
      {lex::kIndexFile, &files.index}, {lex::kWordFile, &files.words}, {lex::kArticleFile, &files.articles}};
  for (const auto& [name, bytes] : outputs) {
    if (!WriteAll(folder + name, *bytes)) {
      fprintf(stderr, "lexbuild: cannot write %s%s\n", folder.c_str(), name);
      return 1;
    }
  }
  printf("lexbuild: %zu headwords in %zu groups, %zu article bytes", report.headwords, report.groups,
         files.articles.size());
  printf(" (merged %zu, skipped %zu empty and %zu too long, cut %zu articles)\n", report.merged,
         report.skippedEmpty, report.skippedLong, report.cutArticles);
  return 0;
}
