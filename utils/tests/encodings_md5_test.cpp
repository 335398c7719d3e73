// MD5 digests through the DLL: the RFC 1321 vectors, agreement of the string,
// buffer, stream and file forms, and files that cannot be read.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"
#include "win_handles.h"

namespace {

// An independent digest from the platform's crypto provider.
std::string PlatformMd5(const std::string& bytes) {
  HCRYPTPROV prov = 0;
  HCRYPTHASH hash = 0;
  std::string text;
  if (CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      CryptCreateHash(prov, CALG_MD5, 0, 0, &hash) &&
      CryptHashData(hash, (const BYTE*)bytes.data(), (DWORD)bytes.size(), 0)) {
    BYTE digest[16];
    DWORD len = sizeof digest;
    if (CryptGetHashParam(hash, HP_HASHVAL, digest, &len, 0)) {
      char buf[3];
      for (BYTE b : digest) {
        snprintf(buf, sizeof buf, "%02x", b);
        text += buf;
      }
    }
  }
  if (hash) CryptDestroyHash(hash);
  if (prov) CryptReleaseContext(prov, 0);
  return text;
}

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = (char)rng();
  return s;
}

}  // namespace

TEST(EncodingsMd5, Rfc1321Vectors) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"}};
  for (auto& v : vectors) {
    sv::OwnedStr text(v.first);
    EXPECT_EQ(v.second, sv::Take(MD5(text))) << v.first;
    EXPECT_EQ(v.second, sv::Take(MD5String(text))) << v.first;
    EXPECT_EQ(v.second, sv::Take(MD5Buffer(v.first, (int32_t)strlen(v.first)))) << v.first;
  }
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", sv::Take(MD5(nullptr)));
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", sv::Take(MD5Buffer(nullptr, 5)));
}

TEST(EncodingsMd5, AllLengthsAroundBlockEdges) {
  const std::string bytes = RandomBytes(300, 1);  // embedded zeros included
  for (size_t n = 0; n <= bytes.size(); ++n) {
    std::string part = bytes.substr(0, n);
    std::string want = PlatformMd5(part);
    ASSERT_EQ(32u, want.size());
    sv::OwnedStr s(part);
    ASSERT_EQ(want, sv::Take(MD5(s))) << n;
    ASSERT_EQ(want, sv::Take(MD5Buffer(part.data(), (int32_t)n))) << n;
  }
}

TEST(EncodingsMd5, StreamKeepsItsPosition) {
  const std::string bytes = RandomBytes(200000, 2);
  sv::ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()));
  ULONG written = 0;
  ASSERT_EQ(S_OK, stream->Write(bytes.data(), (ULONG)bytes.size(), &written));
  LARGE_INTEGER to;
  to.QuadPart = 12345;
  stream->Seek(to, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(PlatformMd5(bytes), sv::Take(MD5Stream(stream.Get())));
  LARGE_INTEGER zero = {};
  ULARGE_INTEGER at;
  stream->Seek(zero, STREAM_SEEK_CUR, &at);
  EXPECT_EQ(12345u, at.QuadPart);
  stream.Reset();
  EXPECT_EQ(nullptr, MD5Stream(nullptr));
}

TEST(EncodingsMd5, Files) {
  ScratchDir dir;
  // A few megabytes, not a whole number of read blocks.
  const std::string bytes = RandomBytes(3 * 1024 * 1024 + 77, 3);
  const std::string name = dir / "big.bin";
  ASSERT_TRUE(WriteFileBytes(name, bytes));
  EXPECT_EQ(PlatformMd5(bytes), sv::Take(MD5File(name.c_str())));

  const std::string empty = dir / "empty.bin";
  ASSERT_TRUE(WriteFileBytes(empty, ""));
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", sv::Take(MD5File(empty.c_str())));

  // A Russian file name, held open for writing by someone else.
  const std::string ru = dir / sv::Ru(u8"Файл.txt");
  ASSERT_TRUE(WriteFileBytes(ru, "abc"));
  sv::Handle writer(CreateFileW(sv::Wide(ru).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", sv::Take(MD5File(ru.c_str())));
}

TEST(EncodingsMd5, UnreadableFilesGiveTheEmptyText) {
  ScratchDir dir;
  EXPECT_EQ(nullptr, MD5File((dir / "missing.bin").c_str()));
  EXPECT_EQ(nullptr, MD5File((dir / "no\\such\\folder.bin").c_str()));
  EXPECT_EQ(nullptr, MD5File(""));
  EXPECT_EQ(nullptr, MD5File(nullptr));
  EXPECT_EQ(nullptr, MD5File(dir.Path().c_str()));  // a folder
  // A file locked against readers.
  const std::string locked = dir / "locked.bin";
  ASSERT_TRUE(WriteFileBytes(locked, "x"));
  sv::Handle h(CreateFileW(sv::Wide(locked).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr));
  ASSERT_NE(INVALID_HANDLE_VALUE, h.Get());
  EXPECT_EQ(nullptr, MD5File(locked.c_str()));
}
