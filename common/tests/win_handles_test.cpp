// Ownership rules of the handle owners: one close, moves hand it over,
// Release() disowns, both "no handle" values read as invalid.
#include <gtest/gtest.h>

#include <utility>

#include "win_handles.h"

namespace {

// True while `h` is an open handle of this process.
bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

TEST(WinHandles, HandleClosesOnceAndMovesOwnership) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    sv::Handle a(raw);
    EXPECT_TRUE(a.Valid());
    sv::Handle b(std::move(a));
    EXPECT_FALSE(a.Valid());
    EXPECT_EQ(raw, b.Get());
    sv::Handle c;
    c = std::move(b);
    EXPECT_TRUE(static_cast<bool>(c));
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));
}

TEST(WinHandles, NoneValuesAreInvalidAndReleaseDisowns) {
  EXPECT_FALSE(sv::Handle(INVALID_HANDLE_VALUE).Valid());
  EXPECT_FALSE(sv::Handle(nullptr).Valid());
  EXPECT_FALSE(sv::FindHandle().Valid());
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    sv::Handle a(raw);
    EXPECT_EQ(raw, a.Release());
    EXPECT_FALSE(a.Valid());
  }
  EXPECT_TRUE(IsOpen(raw));
  sv::Handle back(raw);
  back.Reset();
  EXPECT_FALSE(IsOpen(raw));
}

DWORD WINAPI SetGivenEvent(void* event) {
  static_cast<sv::Event*>(event)->Set();
  return 0;
}

TEST(WinHandles, EventAndThread) {
  sv::Event done = sv::Event::Create(true, false);
  ASSERT_TRUE(done.Valid());
  EXPECT_FALSE(done.Wait(0));
  sv::Thread t = sv::Thread::Start(SetGivenEvent, &done);
  ASSERT_TRUE(t.Valid());
  EXPECT_TRUE(t.Wait(10000));
  EXPECT_TRUE(done.Wait(0));
  EXPECT_TRUE(done.Clear());
  EXPECT_FALSE(done.Wait(0));
}

TEST(WinHandles, GdiOwnersAndRestoringSelection) {
  sv::MemoryDC dc(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc.Valid());
  sv::GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
  ASSERT_TRUE(brush.Valid());
  HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
  {
    sv::SelectedObject selected(dc.Get(), brush.Get());
    EXPECT_TRUE(selected.Valid());
    EXPECT_EQ((HGDIOBJ)brush.Get(), GetCurrentObject(dc.Get(), OBJ_BRUSH));
  }
  EXPECT_EQ(before, GetCurrentObject(dc.Get(), OBJ_BRUSH));
  sv::WindowDC screen(nullptr);
  EXPECT_TRUE(screen.Valid());
}

TEST(WinHandles, LockGuardsBothKindsOfCriticalSection) {
  sv::CriticalSection cs;
  {
    sv::Lock hold(cs);
    EXPECT_TRUE(TryEnterCriticalSection(cs.Native()));  // re-entrant on one thread
    LeaveCriticalSection(cs.Native());
  }
  CRITICAL_SECTION raw;
  InitializeCriticalSection(&raw);
  { sv::Lock hold(&raw); }
  DeleteCriticalSection(&raw);
}

}  // namespace
