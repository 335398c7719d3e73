// INI functions on files named by path, as callers use them for
// "SolvikaLC.ini" and other files.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"
#include "win_handles.h"

namespace {

std::string Str(const std::string& section, const std::string& key, const std::string& file,
                const std::string& def = "def") {
  return sv::TakeOut(
      [&](SvStr* out) { GetCustomIniString(out, section.c_str(), key.c_str(), file.c_str(), def.c_str()); });
}

std::string Sections(const std::string& file) {
  return sv::TakeOut([&](SvStr* out) { GetCustomIniSectNames(out, file.c_str()); });
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(sv::Wide(path).c_str()); }

}  // namespace

TEST(CustomIni, MissingFileGivesDefaultsAndWriteCreatesIt) {
  ScratchDir dir;
  std::string file = dir / "new.ini";
  EXPECT_EQ(42, GetCustomIniInt("main", "Count", file.c_str(), 42));
  EXPECT_EQ("def", Str("main", "Name", file));
  EXPECT_EQ("", Sections(file));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes(file)) << "reading must not create the file";

  SetCustomIniInt("main", "Count", -5, file.c_str());
  SetCustomIniInt("main", "Zero", 0, file.c_str());
  EXPECT_EQ("[main]\r\nCount=-5\r\nZero=0\r\n", ReadFileBytes(file));
  EXPECT_EQ(-5, GetCustomIniInt("main", "Count", file.c_str(), 42));
  EXPECT_EQ(0, GetCustomIniInt("main", "Zero", file.c_str(), 42));
}

TEST(CustomIni, WriteIntoMissingFolderFails) {
  ScratchDir dir;
  std::string file = dir / "no\\such\\folder.ini";
  EXPECT_EQ(0, SetCustomIniString("a", "b", "c", file.c_str()));
  SetCustomIniInt("a", "b", 1, file.c_str());  // silently dropped
  EXPECT_EQ(7, GetCustomIniInt("a", "b", file.c_str(), 7));
}

TEST(CustomIni, NamesMatchCaseInsensitivelyIncludingCyrillic) {
  ScratchDir dir;
  std::string file = dir / sv::Ru(u8"Настройки.ini");
  ASSERT_NE(0, SetCustomIniString(sv::Ru(u8"Раздел Ёж").c_str(), sv::Ru(u8"Ключ").c_str(),
                                  sv::Ru(u8"Значение").c_str(), file.c_str()));
  EXPECT_EQ(sv::Ru(u8"Значение"), Str(sv::Ru(u8"РАЗДЕЛ ёЖ"), sv::Ru(u8"кЛЮЧ"), file));
  // Rewriting through differently cased names replaces the same key.
  SetCustomIniString(sv::Ru(u8"раздел ёж").c_str(), sv::Ru(u8"КЛЮЧ").c_str(), "2", file.c_str());
  EXPECT_EQ(sv::Ru(u8"[Раздел Ёж]\r\nКлюч=2\r\n"), ReadFileBytes(file)) << "names keep their first spelling";
}

TEST(CustomIni, ReadsFilesWrittenByOthers) {
  ScratchDir dir;
  std::string file = dir / "other.ini";
  WriteFileBytes(file,
                 "; comment\n[first]\n  Spaced  =  value with spaces  \nQuoted=\"in quotes\"\n"
                 "Num=12abc\nWord=abc\nEmpty=\n\n[second]\nKey=2");
  EXPECT_EQ("value with spaces", Str("first", "spaced", file));
  EXPECT_EQ("in quotes", Str("FIRST", "Quoted", file));
  EXPECT_EQ(12, GetCustomIniInt("first", "Num", file.c_str(), 5));
  EXPECT_EQ(0, GetCustomIniInt("first", "Word", file.c_str(), 5));
  EXPECT_EQ(5, GetCustomIniInt("first", "Empty", file.c_str(), 5));
  EXPECT_EQ("", Str("first", "Empty", file));
  EXPECT_EQ("2", Str("second", "Key", file));
  EXPECT_EQ("def", Str("second", "Num", file)) << "keys of another section must not match";
  EXPECT_EQ("first/second", Sections(file));

  // A new key joins the end of its own section; comments stay.
  SetCustomIniString("first", "Added", "1", file.c_str());
  std::string bytes = ReadFileBytes(file);
  EXPECT_EQ(0u, bytes.find("; comment\r\n"));
  EXPECT_NE(std::string::npos, bytes.find("Empty=\r\nAdded=1\r\n\r\n[second]")) << bytes;
}

TEST(CustomIni, SectionNameListing) {
  ScratchDir dir;
  std::string file = dir / "s.ini";
  WriteFileBytes(file, "[a]\r\n[bc]\r\n");
  EXPECT_EQ("a/bc", Sections(file));
  WriteFileBytes(file, "[x]\r\nk=v\r\n");
  EXPECT_EQ("", Sections(file)) << "a single one-letter section is below the three-character minimum";
  WriteFileBytes(file, "[main]\r\n[Proxy]\r\n");
  EXPECT_EQ("main/Proxy", Sections(file));
}

TEST(CustomIni, DeleteKeyAndSection) {
  ScratchDir dir;
  std::string file = dir / "d.ini";
  WriteFileBytes(file, "[a]\r\nk1=1\r\nk2=2\r\n\r\n[b]\r\nk=3\r\n");
  std::string before = ReadFileBytes(file);
  EXPECT_NE(0, DeleteCustomIniValue("a", "missing", file.c_str()));
  EXPECT_EQ(before, ReadFileBytes(file));

  EXPECT_NE(0, DeleteCustomIniValue("a", "k1", file.c_str()));
  EXPECT_EQ("def", Str("a", "k1", file));
  EXPECT_EQ("2", Str("a", "k2", file));

  EXPECT_NE(0, DeleteCustomIniValue("A", "", file.c_str()));
  EXPECT_EQ("def", Str("a", "k2", file));
  EXPECT_EQ("3", Str("b", "k", file));
  EXPECT_EQ("[b]\r\nk=3\r\n", ReadFileBytes(file));
}

TEST(CustomIni, ReadOnlyHiddenFileIsMadeWritable) {
  ScratchDir dir;
  std::string file = dir / "ro.ini";
  WriteFileBytes(file, "[a]\r\nk=1\r\n");
  SetFileAttributesW(sv::Wide(file).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_NE(0, SetCustomIniString("a", "k", "2", file.c_str()));
  EXPECT_EQ("2", Str("a", "k", file));
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, Attributes(file));
}

TEST(CustomIni, LongValuesAreCutAt65534) {
  ScratchDir dir;
  std::string file = dir / "long.ini";
  std::string value(70000, 'x');
  ASSERT_NE(0, SetCustomIniString("a", "k", value.c_str(), file.c_str()));
  EXPECT_EQ(65534u, Str("a", "k", file).size());
}

TEST(CustomIni, ConcurrentWritersLoseNothing) {
  ScratchDir dir;
  std::string file = dir / "threads.ini";
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i)
        SetCustomIniInt(("s" + std::to_string(t)).c_str(), ("k" + std::to_string(i)).c_str(), i, file.c_str());
    });
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t)
    for (int i = 0; i < 25; ++i)
      EXPECT_EQ(i, GetCustomIniInt(("s" + std::to_string(t)).c_str(), ("k" + std::to_string(i)).c_str(),
                                   file.c_str(), -1));
  // No temporary files are left next to the settings file.
  WIN32_FIND_DATAW fd;
  sv::FindHandle h(FindFirstFileW(sv::Wide(dir / "*.tmp").c_str(), &fd));
  EXPECT_EQ(INVALID_HANDLE_VALUE, h.Get());
}
