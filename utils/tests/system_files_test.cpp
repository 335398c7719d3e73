// File helpers: existence, size, delete, copy, move, search and line reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

void MakeReadOnly(const std::string& path) { SetFileAttributesW(sv::Wide(path).c_str(), FILE_ATTRIBUTE_READONLY); }

struct Found {
  std::vector<std::string> names;
  size_t stopAfter = 0;  // 0: never stop
};

SvBool SVAPI CollectFound(WIN32_FIND_DATAA data, int32_t user) {
  Found* f = (Found*)(intptr_t)user;
  f->names.push_back(data.cFileName);
  return f->stopAfter && f->names.size() >= f->stopAfter;
}

struct Lines {
  std::vector<std::string> lines;
  size_t stopAfter = 0;
};

SvBool SVAPI CollectLine(SvStr line, int32_t user) {
  Lines* l = (Lines*)(intptr_t)user;
  l->lines.emplace_back(sv::Copy(line));
  return l->stopAfter && l->lines.size() >= l->stopAfter;
}

}  // namespace

TEST(Files, ExistenceAndSize) {
  ScratchDir dir;
  std::string file = dir / sv::Ru(u8"Файл.txt");
  EXPECT_FALSE(SVFileExists(file.c_str()));
  uint64_t size = 12345;
  EXPECT_FALSE(SVFileSize(file.c_str(), &size));
  ASSERT_TRUE(WriteFileBytes(file, std::string(1000, 'a')));
  EXPECT_TRUE(SVFileExists(file.c_str()));
  EXPECT_FALSE(SVDirExsists(file.c_str()));
  EXPECT_TRUE(SVDirExsists(dir.Path().c_str()));
  EXPECT_FALSE(SVFileExists(dir.Path().c_str()));
  ASSERT_TRUE(SVFileSize(file.c_str(), &size));
  EXPECT_EQ(1000u, size);
}

TEST(Files, DeleteCopyAndMoveOverReadOnlyFiles) {
  ScratchDir dir;
  std::string a = dir / "a.bin", b = dir / "b.bin";
  EXPECT_TRUE(SVDeleteFile(a.c_str())) << "a missing file is already gone";

  WriteFileBytes(a, "first");
  MakeReadOnly(a);
  EXPECT_TRUE(SVDeleteFile(a.c_str()));
  EXPECT_FALSE(SVFileExists(a.c_str()));

  WriteFileBytes(a, "new content");
  WriteFileBytes(b, "old");
  MakeReadOnly(b);
  EXPECT_TRUE(SVCopyFile(a.c_str(), b.c_str()));
  EXPECT_EQ("new content", ReadFileBytes(b));
  EXPECT_TRUE(SVFileExists(a.c_str()));

  WriteFileBytes(a, "moved");
  MakeReadOnly(b);
  EXPECT_TRUE(SVMoveFile(a.c_str(), b.c_str()));
  EXPECT_EQ("moved", ReadFileBytes(b));
  EXPECT_FALSE(SVFileExists(a.c_str()));

  std::string c = dir / "c.bin";
  EXPECT_TRUE(SVMoveFile(b.c_str(), c.c_str()));
  EXPECT_FALSE(SVFileExists(b.c_str()));
  EXPECT_EQ("moved", ReadFileBytes(c));

  EXPECT_FALSE(SVCopyFile((dir / "missing").c_str(), b.c_str()));
  EXPECT_FALSE(SVMoveFile((dir / "missing").c_str(), c.c_str()));
  EXPECT_EQ("moved", ReadFileBytes(c)) << "a failed move keeps the destination";
}

TEST(Files, FindFiles) {
  ScratchDir dir;
  Found none;
  EXPECT_TRUE(SVFindFiles((dir / "*.nothing").c_str(), CollectFound, (int32_t)(intptr_t)&none));
  EXPECT_TRUE(none.names.empty());

  for (const char* name : {"one.txt", "two.txt", "three.dat"}) WriteFileBytes(dir / name, "x");
  WriteFileBytes(dir / sv::Ru(u8"четыре.txt"), "x");
  Found txt;
  EXPECT_TRUE(SVFindFiles((dir / "*.txt").c_str(), CollectFound, (int32_t)(intptr_t)&txt));
  std::sort(txt.names.begin(), txt.names.end());
  EXPECT_EQ((std::vector<std::string>{"one.txt", "two.txt", sv::Ru(u8"четыре.txt")}), txt.names);

  Found all;
  SVFindFiles((dir / "*").c_str(), CollectFound, (int32_t)(intptr_t)&all);
  EXPECT_NE(all.names.end(), std::find(all.names.begin(), all.names.end(), ".")) << "directory entries are included";

  Found stopped;
  stopped.stopAfter = 2;
  EXPECT_FALSE(SVFindFiles((dir / "*").c_str(), CollectFound, (int32_t)(intptr_t)&stopped));
  EXPECT_EQ(2u, stopped.names.size());
}

TEST(Files, ReadFileLineByLine) {
  ScratchDir dir;
  std::string file = dir / "lines.txt";
  Lines missing;
  EXPECT_FALSE(SVReadFile(file.c_str(), CollectLine, (int32_t)(intptr_t)&missing));

  WriteFileBytes(file, "crlf\r\nlf\nlone cr\r\r\nlast");
  Lines all;
  EXPECT_TRUE(SVReadFile(file.c_str(), CollectLine, (int32_t)(intptr_t)&all));
  EXPECT_EQ((std::vector<std::string>{"crlf", "lf", "lone cr", "", "last"}), all.lines);

  WriteFileBytes(file, "a\r\nb\r\n");
  Lines two;
  SVReadFile(file.c_str(), CollectLine, (int32_t)(intptr_t)&two);
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), two.lines) << "a final break starts no extra line";

  Lines stopped;
  stopped.stopAfter = 1;
  EXPECT_TRUE(SVReadFile(file.c_str(), CollectLine, (int32_t)(intptr_t)&stopped));
  EXPECT_EQ(1u, stopped.lines.size());

  WriteFileBytes(file, "");
  Lines empty;
  EXPECT_TRUE(SVReadFile(file.c_str(), CollectLine, (int32_t)(intptr_t)&empty));
  EXPECT_TRUE(empty.lines.empty());
}
