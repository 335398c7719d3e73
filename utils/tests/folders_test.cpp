#include <gtest/gtest.h>

#include "SolvikaUtils.h"
#include "test_support.h"

TEST(Folders, AllEndInBackslash) {
  for (auto get : {GetCurrDir, GetSysDir, GetTempDir}) {
    std::string dir = sv::TakeOut([&](SvStr* out) { get(out); });
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ('\\', dir.back()) << dir;
  }
}
