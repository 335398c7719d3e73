// zlib byte strings and buffers, result texts, versions.
#include <gtest/gtest.h>

#include <string>

#include "SolvikaPU.h"
#include "test_support.h"
#include "wide.h"

namespace {

std::string Compress(const std::string& x) {
  sv::OwnedStr in(x);
  return sv::TakeOut([&](SvStr* out) { zlibCompress(out, in); });
}
std::string Decompress(const std::string& x) {
  sv::OwnedStr in(x);
  return sv::TakeOut([&](SvStr* out) { zlibDecompress(out, in); });
}

}  // namespace

TEST(Zlib, StringRoundTripIncludingZeroBytesAndEmpty) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += (char)((i * 7919) >> 3);
  for (const std::string& x : {std::string(), std::string("a"), std::string("a\0b\0", 4), binary}) {
    std::string packed = Compress(x);
    ASSERT_GE(packed.size(), 8u);
    EXPECT_EQ(0x78, (unsigned char)packed[0]);  // RFC 1950 header
    EXPECT_EQ(x, Decompress(packed));
  }
}

TEST(Zlib, InvalidOrDamagedStreamsGiveEmpty) {
  std::string packed = Compress(std::string(5000, 'q'));
  EXPECT_EQ("", Decompress("not a zlib stream"));
  EXPECT_EQ("", Decompress(""));
  EXPECT_EQ("", Decompress(packed.substr(0, packed.size() - 3)));  // truncated
  std::string bad = packed;
  bad[bad.size() - 1] ^= 0x55;  // Adler-32
  EXPECT_EQ("", Decompress(bad));
}

TEST(Zlib, Buffers) {
  std::string x(200000, 'z');
  x[100] = 0;
  void* packed = nullptr;
  int32_t packedLen = 0;
  ASSERT_TRUE(zlibCompressBuf(x.data(), (int32_t)x.size(), &packed, &packedLen));
  ASSERT_TRUE(packed != nullptr);
  EXPECT_LT(packedLen, 2000);
  for (int32_t estimate : {0, 10, 200000, 500000}) {
    void* plain = nullptr;
    int32_t plainLen = 0;
    ASSERT_TRUE(zlibDecompressBuf(packed, packedLen, estimate, &plain, &plainLen)) << estimate;
    EXPECT_EQ(x, std::string((char*)plain, plainLen));
    zlibFreeBuf(plain);
  }
  void* plain = nullptr;
  int32_t plainLen = 0;
  EXPECT_FALSE(zlibDecompressBuf("garbage!", 8, 0, &plain, &plainLen));
  EXPECT_EQ(nullptr, plain);
  zlibFreeBuf(packed);
  zlibFreeBuf(nullptr);
}

TEST(PackLibrary, ErrorTextsAndVersions) {
  auto text = [](int32_t code) { return sv::TakeOut([&](SvStr* out) { ZipErrorStr(out, code); }); };
  EXPECT_EQ("", text(0));
  EXPECT_EQ(sv::Ru(u8"Не найден файл UnzDll.dll"), text(1));
  EXPECT_EQ(sv::Ru(u8"Не найден файл ZipDll.dll"), text(2));
  EXPECT_EQ(sv::Ru(u8"Невозможно открыть архив"), text(3));
  EXPECT_EQ(sv::Ru(u8"Невозможно создать архив"), text(4));
  EXPECT_EQ(sv::Ru(u8"Ошибка ZipMaster"), text(5));
  EXPECT_EQ(sv::Ru(u8"Файла в архиве нет"), text(6));
  EXPECT_EQ(sv::Ru(u8"Неопознанная ошибка"), text(7));
  EXPECT_EQ(sv::Ru(u8"Неопознанная ошибка"), text(-3));
  EXPECT_EQ("\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE", text(3).substr(0, 10));  // 1251 bytes
  auto version = (int32_t(SVAPI*)(void))(void*)GetProcAddress(GetModuleHandleW(L"SolvikaPU.dll"), "GetModuleVersion");
  ASSERT_TRUE(version != nullptr);
  EXPECT_EQ(14, version());
  EXPECT_GT(GetUnzDllVersion(), 0);
  EXPECT_GT(GetZipDllVersion(), 0);
}
