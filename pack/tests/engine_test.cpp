// The zip engine beyond single small files: trees with files packed in
// pieces on several threads (deflated and stored), appending entry after
// entry, archives with data in front, and the name rules that keep paths
// inside their folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

#include "SolvikaPU.h"
#include "names.h"
#include "test_support.h"
#include "wide.h"

namespace {

void MakeDir(const std::string& path) { CreateDirectoryW(sv::Wide(path).c_str(), nullptr); }

std::string List(const std::string& archive, const std::string& mask) {
  return sv::TakeOut([&](SvStr* out) { SVZipFilesList(out, archive.c_str(), mask.c_str()); });
}

std::string Text(size_t size) {
  std::vector<std::string> words;
  for (const char* w : {u8"архив ", u8"zip ", u8"deflate ", u8"window\r\n", u8"пакет ", u8"folder ", u8"entry "})
    words.push_back(sv::Ru(w));
  std::mt19937 rng(7);
  std::string s;
  while (s.size() < size) s += words[rng() % words.size()];
  s.resize(size);
  return s;
}

std::string Random(size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = (char)rng();
  return s;
}

}  // namespace

// A folder tree through ZipFiles: the folder name becomes the top entry, files
// larger than one piece come back whole, incompressible ones are stored.
// The archive is left in pack_interop for Info-ZIP (check_tree_infozip.sh).
TEST(Engine, TreeWithLargeFilesRoundTrip) {
  const std::string interop = TestProgramFolder() + "pack_interop\\";
  MakeDir(interop);
  const std::string src = interop + "tree\\";
  MakeDir(src);
  MakeDir(src + "sub");
  MakeDir(src + "sub\\empty");
  const std::map<std::string, std::string> files = {
      {"text.txt", Text(3300000)},
      {"sub\\random.bin", Random(2200000, 1)},
      {"sub\\exact.bin", Random(1 << 20, 2)},
      {sv::Ru(u8"sub\\Отчёт.txt"), "1251 name"},
      {"zero.txt", ""}};
  for (const auto& f : files) ASSERT_TRUE(WriteFileBytes(src + f.first, f.second));
  const std::string archive = interop + "tree.zip";
  DeleteFileW(sv::Wide(archive).c_str());

  ASSERT_EQ(0, ZipFiles(archive.c_str(), src.c_str()));
  EXPECT_EQ("tree/\ttree/sub/\ttree/sub/empty/\t", List(archive, "*/"));
  const size_t packed = ReadFileBytes(archive).size();
  EXPECT_LT(packed, 2200000u + (1u << 20) + 1300000u);  // text deflated
  EXPECT_GT(packed, 2200000u + (1u << 20));           // random stored, not grown

  ScratchDir out("tree");
  ASSERT_EQ(0, UnZipFiles(archive.c_str(), out.Path().c_str(), "*.*"));
  for (const auto& f : files) EXPECT_EQ(f.second, ReadFileBytes(out / ("tree\\" + f.first))) << f.first;
  DWORD a = GetFileAttributesW(sv::Wide(out / "tree\\sub\\empty").c_str());
  EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(0, ZipTest(archive.c_str(), "tree/*.txt"));
  EXPECT_EQ(6, ZipTest(archive.c_str(), "nothing.*"));
}

// Files added one call at a time are appended in place; replacing an entry
// rewrites the archive; data in front of an archive (a self-extractor) is
// skipped when reading; a read-only file in the target is replaced.
TEST(Engine, AppendReplaceAndDataInFront) {
  ScratchDir dir("app");
  const std::string archive = dir / "a.zip";
  for (int i = 0; i < 25; ++i) {
    std::string name = dir / ("f" + std::to_string(i) + ".txt");
    ASSERT_TRUE(WriteFileBytes(name, "file " + std::to_string(i)));
    ASSERT_EQ(0, ZipFiles(archive.c_str(), name.c_str())) << i;
  }
  ASSERT_TRUE(WriteFileBytes(dir / "f3.txt", "replaced"));
  ASSERT_EQ(0, ZipFiles(archive.c_str(), (dir / "f3.txt").c_str()));
  EXPECT_EQ(0, FileExistsInZip(archive.c_str(), "f24.txt"));
  const std::string names = List(archive, "");
  EXPECT_EQ(25, (int)std::count(names.begin(), names.end(), '\t'));
  // A missing plain name fails; a mask that matches nothing adds nothing.
  EXPECT_EQ(4, ZipFiles(archive.c_str(), (dir / "none.txt").c_str()));
  EXPECT_EQ(0, ZipFiles(archive.c_str(), (dir / "*.none").c_str()));

  const std::string sfx = dir / "sfx.exe";
  ASSERT_TRUE(WriteFileBytes(sfx, std::string(5000, 'M') + ReadFileBytes(archive)));
  ScratchDir out("app");
  ASSERT_TRUE(WriteFileBytes(out / "f3.txt", "read-only old one"));
  SetFileAttributesW(sv::Wide(out / "f3.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(0, UnZipFiles(sfx.c_str(), out.Path().c_str(), "f3.txt\tf2?.txt"));
  EXPECT_EQ("replaced", ReadFileBytes(out / "f3.txt"));
  EXPECT_EQ("file 24", ReadFileBytes(out / "f24.txt"));
  EXPECT_EQ("", ReadFileBytes(out / "f1.txt"));
  EXPECT_EQ(7, UnZipFiles(sfx.c_str(), "", "*.*"));  // never into the root of the drive
}

TEST(Engine, HandleResultsCountEntries) {
  ScratchDir dir("h");
  ASSERT_TRUE(WriteFileBytes(dir / "a.txt", "a"));
  ASSERT_TRUE(WriteFileBytes(dir / "b.txt", "b"));
  const std::string archive = dir / "h.zip";
  void* zip = nullptr;
  ASSERT_TRUE(SVZipCreate(&zip));
  EXPECT_TRUE(SVZipAdd(zip, archive.c_str(), (dir / "*.txt").c_str()));
  EXPECT_EQ(2, SVZipUnzResult(zip));
  EXPECT_TRUE(SVZipDelete(zip, archive.c_str(), "a.*"));
  EXPECT_EQ(1, SVZipUnzResult(zip));
  EXPECT_TRUE(SVisZipUnzCorrect(zip));
  SVZipDestroy(&zip);
  EXPECT_EQ(nullptr, zip);

  void* unz = nullptr;
  ASSERT_TRUE(SVUnzCreate(&unz));
  EXPECT_TRUE(SVUnzTest(unz, archive.c_str(), "*"));
  EXPECT_EQ(1, SVZipUnzResult(unz));
  EXPECT_FALSE(SVUnzTest(unz, (dir / "missing.zip").c_str(), "*"));
  EXPECT_LT(SVZipUnzResult(unz), 0);
  SVUnzDestroy(&unz);
}

TEST(NameRules, MasksAndPaths) {
  using namespace svzip;
  EXPECT_TRUE(MaskMatch("*.TXT", "a.TXT"));
  EXPECT_FALSE(MaskMatch("*.TXT", "a.txt"));
  EXPECT_TRUE(MaskMatch("a?c*", "abc"));
  EXPECT_FALSE(MaskMatch("a?c", "ac"));
  EXPECT_TRUE(MaskMatch("*a*b*", "xxaybzz"));
  EXPECT_FALSE(MaskMatch("sub\\*", "sub/x"));
  EXPECT_TRUE(PathMaskMatch("sub\\*", "sub/x"));
  EXPECT_TRUE(PathMaskMatch("*.txt", "deep/er/x.txt"));

  for (const char* good : {"a.txt", "sub/b.txt", "sub\\b.txt", "a..b", "...x", "./a"})
    EXPECT_TRUE(IsSafeRelativePath(good)) << good;
  for (const char* bad : {"", "../a", "sub/../../a", "sub/..", "/a", "\\a", "C:a", "C:/a", "a:stream",
                          "sub\\. .\\a", "..."})
    EXPECT_FALSE(IsSafeRelativePath(bad)) << bad;

  for (const char* inside : {"a.dll", "plugins\\extra", "a\\..\\b", "plugins\\\\x\\"})
    EXPECT_TRUE(StaysInside(inside)) << inside;
  for (const char* outside : {"..\\a", "a\\..\\..\\b", "\\a", "C:\\a", "a/../../b", "\\\\server\\share"})
    EXPECT_FALSE(StaysInside(outside)) << outside;
}
