// The shell's pictures as the menus draw them: 20 images of 16 x 16, each a
// picture of its own with a clear background, and the plugin fallback icon.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "menu_images.h"
#include "win_handles.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 0, 255);

// The image as drawn over a magenta background.
std::vector<COLORREF> Drawn(HIMAGELIST list, int index) {
  sv::WindowDC screen(nullptr);
  sv::MemoryDC dc(CreateCompatibleDC(screen.Get()));
  sv::GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(screen.Get(), shell::kMenuImageSize, shell::kMenuImageSize));
  sv::SelectedObject keep(dc.Get(), bmp.Get());
  sv::GdiObject<HBRUSH> magenta(CreateSolidBrush(kBackground));
  RECT all = {0, 0, shell::kMenuImageSize, shell::kMenuImageSize};
  FillRect(dc.Get(), &all, magenta.Get());
  ImageList_Draw(list, index, dc.Get(), 0, 0, ILD_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < shell::kMenuImageSize; ++y)
    for (int x = 0; x < shell::kMenuImageSize; ++x) pixels.push_back(GetPixel(dc.Get(), x, y));
  return pixels;
}

TEST(MenuImages, TwentyDistinctPicturesWithClearBackground) {
  InitCommonControls();
  HIMAGELIST list = shell::LoadMenuImages(GetModuleHandleW(nullptr));
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(shell::kMenuImageCount, ImageList_GetImageCount(list));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  EXPECT_EQ(16, cx);
  EXPECT_EQ(16, cy);

  std::vector<std::vector<COLORREF>> images;
  for (int i = 0; i < shell::kMenuImageCount; ++i) {
    images.push_back(Drawn(list, i));
    int clear = 0, painted = 0;
    for (COLORREF p : images.back()) ++(p == kBackground ? clear : painted);
    EXPECT_GE(painted, 40) << "image " << i << " is a picture, not a blank square";
    EXPECT_GE(clear, 8) << "image " << i << " lets the menu's background through";
  }
  for (int i = 0; i < shell::kMenuImageCount; ++i)
    for (int j = i + 1; j < shell::kMenuImageCount; ++j) EXPECT_NE(images[i], images[j]) << i << " and " << j;

  // Plugin icons are appended behind the fixed images.
  sv::Icon plugin(shell::LoadPluginFallbackIcon(GetModuleHandleW(nullptr), 16));
  EXPECT_EQ(shell::kMenuImageCount, ImageList_AddIcon(list, plugin.Get()));
  ImageList_Destroy(list);
}

TEST(MenuImages, PluginFallbackIconInBothSizes) {
  for (int size : {16, 32}) {
    sv::Icon icon(shell::LoadPluginFallbackIcon(GetModuleHandleW(nullptr), size));
    ASSERT_TRUE(icon.Valid()) << size;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
    sv::GdiObject<HBITMAP> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm = {};
    GetObjectW(colour.Get(), sizeof bm, &bm);
    EXPECT_EQ(size, bm.bmWidth);
    EXPECT_EQ(size, bm.bmHeight);
  }
}

}  // namespace
