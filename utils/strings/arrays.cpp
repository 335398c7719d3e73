// Sorting, searching and walking of caller-owned dynamic arrays of 32-bit
// elements through the caller's callbacks. The length is part of the array;
// nothing here changes it.
#include <vector>

#include "SolvikaUtils.h"
#include "guard.h"

namespace {

// Top-down merge sort of a[low..high]; the compare callback answers 1 when
// its first argument sorts after its second. Equal elements keep their order
// because the right half is taken only when the left element sorts after it.
void MergeSort(int32_t* a, int32_t* tmp, int32_t low, int32_t high, SvCompareProc compare) {
  if (high <= low) return;
  if (high == low + 1) {
    if (compare(a[low], a[high]) == 1) std::swap(a[low], a[high]);
    return;
  }
  int32_t mid = low + (high - low) / 2;
  MergeSort(a, tmp, low, mid, compare);
  MergeSort(a, tmp, mid + 1, high, compare);
  int32_t i = low, j = mid + 1, k = low;
  while (i <= mid && j <= high) tmp[k++] = compare(a[i], a[j]) == 1 ? a[j++] : a[i++];
  while (i <= mid) tmp[k++] = a[i++];
  while (j <= high) tmp[k++] = a[j++];
  for (k = low; k <= high; ++k) a[k] = tmp[k];
}

int32_t Find(SvArray array, SvCompareProc compare, int32_t key) {
  const int32_t n = sv::ArrayLen(array);
  int32_t low = 1, high = n;
  while (low <= high) {
    int32_t mid = low + (high - low) / 2;
    switch (compare(key, array[mid - 1])) {
      case -1: high = mid - 1; break;
      case 0: return mid;
      case 1:
        if (mid == n) return 0;
        low = mid + 1;
        break;
      default: return 0;
    }
  }
  return 0;
}

}  // namespace

SVU_API void SVAPI DynamicArrayCustomSort(SvArray array, SvCompareProc compare) {
  sv::GuardVoid([&] {
    const int32_t n = sv::ArrayLen(array);
    if (n < 2 || !compare) return;
    std::vector<int32_t> tmp((size_t)n);
    MergeSort(array, tmp.data(), 0, n - 1, compare);
  });
}

SVU_API int32_t SVAPI DynamicArrayCustomFind(SvArray array, SvCompareProc compare, int32_t key) {
  return sv::Guard<int32_t>(0, [&] { return compare ? Find(array, compare, key) : 0; });
}

SVU_API int32_t SVAPI DynamicArrayCustomFindFirst(SvArray array, SvCompareProc compare, int32_t key) {
  return sv::Guard<int32_t>(0, [&] {
    if (!compare) return 0;
    int32_t i = Find(array, compare, key);
    while (i > 1 && compare(key, array[i - 2]) == 0) --i;
    return i;
  });
}

SVU_API void SVAPI DynamicArrayCustomEnum(SvArray array, SvEnumProc visit, int32_t user) {
  sv::GuardVoid([&] {
    const int32_t n = sv::ArrayLen(array);
    if (!visit) return;
    for (int32_t i = 0; i < n; ++i)
      if (visit(array[i], i, user) != 0) return;
  });
}

SVU_API void SVAPI DynamicArrayCustomEnum2(SvArray first, SvArray second, SvEnum2Proc step, int32_t user) {
  sv::GuardVoid([&] {
    if (!step) return;
    const int32_t n1 = sv::ArrayLen(first), n2 = sv::ArrayLen(second);
    int32_t i = 0, j = 0;
    // Both sides have elements: 1 advances the first, 2 the second, 3 both.
    while (i < n1 && j < n2) {
      switch (step(first[i], second[j], user)) {
        case 1: ++i; break;
        case 2: ++j; break;
        case 3: ++i; ++j; break;
        default: return;
      }
    }
    // One side is exhausted: its place is taken by 0, and a code that would
    // advance only that side offers the same element again.
    while (i < n1) {
      switch (step(first[i], 0, user)) {
        case 1: case 3: ++i; break;
        case 2: break;
        default: return;
      }
    }
    while (j < n2) {
      switch (step(0, second[j], user)) {
        case 2: case 3: ++j; break;
        case 1: break;
        default: return;
      }
    }
  });
}
