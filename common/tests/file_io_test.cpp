// Whole-file reads, replace-writes and folder trees on the real file system,
// with Windows-1251 (Cyrillic) names.
#include <gtest/gtest.h>

#include <string>

#include "file_io.h"
#include "test_support.h"
#include "wide.h"
#include "win_handles.h"

namespace {

void SetReadOnly(const std::string& path) {
  SetFileAttributesW(sv::Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
}

// Names of the entries of a folder, "." and ".." left out.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  sv::FindHandle h(FindFirstFileW(sv::Wide(folder + "*").c_str(), &fd));
  if (!h) return names;
  do {
    std::wstring n = fd.cFileName;
    if (n != L"." && n != L"..") names.push_back(sv::Narrow(n));
  } while (FindNextFileW(h.Get(), &fd));
  return names;
}

TEST(FolderTree, CreatesEveryMissingLevelWithCyrillicNames) {
  ScratchDir dir("tree");
  const std::string deep = dir / sv::Ru(u8"Папка\\вложенная\\ещё глубже");
  EXPECT_TRUE(sv::CreateFolderTree(deep));
  EXPECT_TRUE(sv::FolderExists(deep));
  // Existing folders, a trailing separator and forward slashes are all fine.
  EXPECT_TRUE(sv::CreateFolderTree(deep + "\\"));
  EXPECT_TRUE(sv::CreateFolderTree(dir / sv::Ru(u8"Папка/вторая/третья/")));
  EXPECT_TRUE(sv::FolderExists(dir / sv::Ru(u8"Папка\\вторая\\третья")));
}

TEST(FolderTree, CreateFailsWhenAFileIsInTheWay) {
  ScratchDir dir("tree");
  ASSERT_TRUE(WriteFileBytes(dir / "file", "x"));
  EXPECT_FALSE(sv::CreateFolderTree(dir / "file"));
  EXPECT_FALSE(sv::CreateFolderTree(dir / "file\\below"));
  EXPECT_FALSE(sv::FolderExists(dir / "file\\below"));
  EXPECT_FALSE(sv::CreateFolderTree(""));
}

TEST(FolderTree, RemovesNestedReadOnlyContent) {
  ScratchDir dir("tree");
  const std::string top = dir / sv::Ru(u8"Корень");
  ASSERT_TRUE(sv::CreateFolderTree(top + sv::Ru(u8"\\уровень1\\уровень2")));
  ASSERT_TRUE(WriteFileBytes(top + sv::Ru(u8"\\файл.txt"), "a"));
  ASSERT_TRUE(WriteFileBytes(top + sv::Ru(u8"\\уровень1\\только чтение.txt"), "b"));
  ASSERT_TRUE(WriteFileBytes(top + sv::Ru(u8"\\уровень1\\уровень2\\скрытый"), "c"));
  SetReadOnly(top + sv::Ru(u8"\\уровень1\\только чтение.txt"));
  SetFileAttributesW(sv::Wide(top + sv::Ru(u8"\\уровень1\\уровень2\\скрытый")).c_str(),
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  SetReadOnly(top + sv::Ru(u8"\\уровень1"));

  EXPECT_TRUE(sv::RemoveFolderTree(top + "\\"));
  EXPECT_FALSE(sv::FolderExists(top));
  EXPECT_TRUE(Entries(dir.Path()).empty());
  // Removing what is not there is no failure.
  EXPECT_TRUE(sv::RemoveFolderTree(top));
}

TEST(FolderTree, EmptyFolderKeepsTheFolder) {
  ScratchDir dir("tree");
  ASSERT_TRUE(sv::CreateFolderTree(dir / "keep\\sub"));
  ASSERT_TRUE(WriteFileBytes(dir / "keep\\sub\\f", "x"));
  ASSERT_TRUE(WriteFileBytes(dir / "keep\\g", "y"));
  SetReadOnly(dir / "keep\\g");
  EXPECT_TRUE(sv::EmptyFolder(dir / "keep"));
  EXPECT_TRUE(sv::FolderExists(dir / "keep"));
  EXPECT_TRUE(Entries(dir / "keep\\").empty());
}

TEST(FolderTree, ExistenceTellsFilesFromFolders) {
  ScratchDir dir("exist");
  ASSERT_TRUE(WriteFileBytes(dir / sv::Ru(u8"ф"), "x"));
  EXPECT_TRUE(sv::FileExists(dir / sv::Ru(u8"ф")));
  EXPECT_FALSE(sv::FolderExists(dir / sv::Ru(u8"ф")));
  EXPECT_TRUE(sv::FolderExists(dir.Path()));
  EXPECT_FALSE(sv::FileExists(dir.Path()));
  EXPECT_FALSE(sv::FileExists(dir / "missing"));
  EXPECT_EQ("a\\", sv::WithSlash("a"));
  EXPECT_EQ("a\\", sv::WithSlash("a\\"));
  EXPECT_EQ("\\", sv::WithSlash(""));
}

TEST(ReplaceWrite, ReplacesContentAndLeavesNoTemporaryFile) {
  ScratchDir dir("replace");
  const std::string target = dir / sv::Ru(u8"настройки.ini");
  ASSERT_TRUE(sv::WriteFileReplacing(target, "first"));
  ASSERT_TRUE(sv::WriteFileReplacing(target, "second, longer content"));
  ASSERT_TRUE(sv::WriteFileReplacing(target, ""));
  EXPECT_EQ("", ReadFileBytes(target));
  ASSERT_TRUE(sv::WriteFileReplacing(target, std::string("a\0b", 3)));
  EXPECT_EQ(std::string("a\0b", 3), ReadFileBytes(target));
  EXPECT_EQ(std::vector<std::string>{sv::Ru(u8"настройки.ini")}, Entries(dir.Path()));
}

TEST(ReplaceWrite, FailureKeepsTheOldFileAndRemovesTheTemporary) {
  ScratchDir dir("replace");
  const std::string target = dir / "t.bin";
  ASSERT_TRUE(sv::WriteFileReplacing(target, "old"));
  // A target held open without delete sharing cannot be replaced; the write
  // gives up after its retries.
  {
    sv::Handle hold(CreateFileW(sv::Wide(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hold.Valid());
    EXPECT_FALSE(sv::WriteFileReplacing(target, "new"));
  }
  EXPECT_EQ("old", ReadFileBytes(target));
  EXPECT_EQ(std::vector<std::string>{"t.bin"}, Entries(dir.Path()));
  // A missing folder fails before anything is written.
  EXPECT_FALSE(sv::WriteFileReplacing(dir / "no\\such.txt", "x"));
}

TEST(WholeFile, ReadsBytesEvenWhileAnotherWriterHasItOpen) {
  ScratchDir dir("read");
  const std::string path = dir / sv::Ru(u8"данные.bin");
  std::string bytes(70000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = (char)(i * 7);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  sv::Handle writer(CreateFileW(sv::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer.Valid());
  std::string got = "stale";
  ASSERT_TRUE(sv::ReadWholeFile(path, &got));
  EXPECT_EQ(bytes, got);
  ASSERT_TRUE(WriteFileBytes(dir / "empty", ""));
  EXPECT_TRUE(sv::ReadWholeFile(dir / "empty", &got));
  EXPECT_EQ("", got);
  EXPECT_FALSE(sv::ReadWholeFile(dir / "missing", &got));
  EXPECT_FALSE(sv::ReadWholeFile(dir.Path(), &got));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const std::string folder = sv::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('\\', folder.back());
  EXPECT_EQ(TestProgramFolder(), folder);
  EXPECT_TRUE(sv::FileExists(folder + "common_test.exe"));
}

}  // namespace
