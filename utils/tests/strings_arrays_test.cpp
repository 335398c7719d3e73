// Sorting, searching and walking of dynamic arrays through the DLL.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "SolvikaUtils.h"
#include "test_support.h"

namespace {

// Array of 32-bit elements in the shared layout; released on scope exit.
class Array {
 public:
  explicit Array(const std::vector<int32_t>& v) : a_(sv::ArrayNew((int32_t)v.size())) {
    if (a_) std::copy(v.begin(), v.end(), a_);
  }
  ~Array() { sv::Release(a_); }
  operator SvArray() const { return a_; }
  std::vector<int32_t> Values() const { return std::vector<int32_t>(a_, a_ + sv::ArrayLen(a_)); }

 private:
  SvArray a_;
};

int32_t SVAPI Cmp3(int32_t a, int32_t b) { return a < b ? -1 : a > b ? 1 : 0; }
// Elements carry a key in the high 16 bits and their original place in the
// low 16 bits; only the key takes part in the order.
int32_t SVAPI ByKey(int32_t a, int32_t b) { return Cmp3(a >> 16, b >> 16); }
int32_t SVAPI KeyVsElement(int32_t key, int32_t e) { return Cmp3(key, e >> 16); }

struct Walk {
  std::vector<std::pair<int32_t, int32_t>> seen;
  size_t stopAt = 0;
};

int32_t SVAPI Visit(int32_t e, int32_t index, int32_t user) {
  Walk* w = (Walk*)(intptr_t)user;
  w->seen.push_back({e, index});
  return w->stopAt && w->seen.size() >= w->stopAt;
}

// Merge walk of two sorted arrays: 1 when the first side is behind, 2 when
// the second is, 3 when both hold the same value; 0 stands for "none left".
int32_t SVAPI MergeStep(int32_t a, int32_t b, int32_t user) {
  Walk* w = (Walk*)(intptr_t)user;
  w->seen.push_back({a, b});
  if (w->stopAt && w->seen.size() >= w->stopAt) return 0;
  if (b == 0 || (a != 0 && a < b)) return 1;
  if (a == 0 || b < a) return 2;
  return 3;
}

}  // namespace

TEST(StringsArrays, SortIsStable) {
  std::mt19937 rng(7);
  for (int n : {0, 1, 2, 3, 7, 64, 1000}) {
    std::vector<int32_t> v;
    for (int i = 0; i < n; ++i) v.push_back((int32_t)((rng() % 5) << 16 | i));
    Array a(v);
    DynamicArrayCustomSort(a, ByKey);
    std::stable_sort(v.begin(), v.end(), [](int32_t x, int32_t y) { return (x >> 16) < (y >> 16); });
    EXPECT_EQ(v, a.Values()) << n;
  }
  DynamicArrayCustomSort(nullptr, ByKey);  // absent array: nothing happens
}

TEST(StringsArrays, FindAndFindFirst) {
  Array a({1, 2, 2, 2, 3});
  int32_t at = DynamicArrayCustomFind(a, Cmp3, 2);
  EXPECT_TRUE(at >= 2 && at <= 4);
  EXPECT_EQ(2, DynamicArrayCustomFindFirst(a, Cmp3, 2));
  EXPECT_EQ(1, DynamicArrayCustomFindFirst(a, Cmp3, 1));
  EXPECT_EQ(5, DynamicArrayCustomFind(a, Cmp3, 3));
  EXPECT_EQ(0, DynamicArrayCustomFind(a, Cmp3, 0));
  EXPECT_EQ(0, DynamicArrayCustomFind(a, Cmp3, 4));  // beyond the last element
  EXPECT_EQ(0, DynamicArrayCustomFindFirst(a, Cmp3, 9));
  EXPECT_EQ(0, DynamicArrayCustomFind(nullptr, Cmp3, 1));

  Array keyed({1 << 16 | 0, 4 << 16 | 1, 4 << 16 | 2, 4 << 16 | 3, 4 << 16 | 4, 9 << 16 | 5});
  EXPECT_EQ(2, DynamicArrayCustomFindFirst(keyed, KeyVsElement, 4));
}

TEST(StringsArrays, Enumerations) {
  Array a({10, 20, 30});
  Walk w;
  DynamicArrayCustomEnum(a, Visit, (int32_t)(intptr_t)&w);
  EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{10, 0}, {20, 1}, {30, 2}}), w.seen);
  Walk stop;
  stop.stopAt = 2;
  DynamicArrayCustomEnum(a, Visit, (int32_t)(intptr_t)&stop);
  EXPECT_EQ(2u, stop.seen.size());

  Array x({1, 3, 5, 7, 8}), y({3, 4});
  Walk m;
  DynamicArrayCustomEnum2(x, y, MergeStep, (int32_t)(intptr_t)&m);
  EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{1, 3}, {3, 3}, {5, 4}, {5, 0}, {7, 0}, {8, 0}}), m.seen);
  Walk m2;
  DynamicArrayCustomEnum2(y, x, MergeStep, (int32_t)(intptr_t)&m2);
  EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{3, 1}, {3, 3}, {4, 5}, {0, 5}, {0, 7}, {0, 8}}), m2.seen);
  Walk m3;
  m3.stopAt = 4;
  DynamicArrayCustomEnum2(x, y, MergeStep, (int32_t)(intptr_t)&m3);
  EXPECT_EQ(4u, m3.seen.size());
  Walk none;
  DynamicArrayCustomEnum2(nullptr, nullptr, MergeStep, (int32_t)(intptr_t)&none);
  EXPECT_TRUE(none.seen.empty());
}
