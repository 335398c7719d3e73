#include "pictures.h"

#include <cmath>
#include <initializer_list>

#include "win_handles.h"

namespace svbrowser {

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);  // transparent colour of the strip
constexpr COLORREF kOutline = RGB(40, 40, 40);
constexpr COLORREF kGreen = RGB(30, 140, 40);
constexpr COLORREF kBlue = RGB(20, 90, 200);
constexpr COLORREF kRed = RGB(200, 30, 30);
constexpr COLORREF kBrown = RGB(150, 90, 40);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Paint {
 public:
  Paint(HDC dc, COLORREF fill, COLORREF line = kOutline, int width = 1)
      : brush_(CreateSolidBrush(fill)), pen_(CreatePen(PS_SOLID, width, line)),
        brushSelected_(dc, brush_.Get()), penSelected_(dc, pen_.Get()) {}

 private:
  sv::GdiObject<HBRUSH> brush_;
  sv::GdiObject<HPEN> pen_;
  sv::SelectedObject brushSelected_, penSelected_;
};

void Shape(HDC dc, int x, std::initializer_list<POINT> points) {
  POINT shifted[12];
  int n = 0;
  for (POINT p : points) {
    if (n == 12) break;
    shifted[n++] = {p.x + x, p.y};
  }
  Polygon(dc, shifted, n);
}

void DrawTool(HDC dc, int x, int picture) {
  switch (picture) {
    case kPictureBack: {
      Paint paint(dc, kGreen);
      Shape(dc, x, {{1, 8}, {8, 1}, {8, 5}, {14, 5}, {14, 11}, {8, 11}, {8, 15}});
      break;
    }
    case kPictureForward: {
      Paint paint(dc, kGreen);
      Shape(dc, x, {{15, 8}, {8, 1}, {8, 5}, {2, 5}, {2, 11}, {8, 11}, {8, 15}});
      break;
    }
    case kPictureRefresh: {
      // A ring with a gap at the top right and an arrowhead at its end.
      {
        Paint ring(dc, kMask, kBlue, 3);
        Arc(dc, x + 2, 2, x + 14, 14, x + 10, 1, x + 14, 5);
      }
      Paint head(dc, kBlue, kBlue);
      Shape(dc, x, {{10, 0}, {15, 5}, {9, 6}});
      break;
    }
    case kPictureStop: {
      Paint paint(dc, kRed);
      Shape(dc, x, {{5, 1}, {11, 1}, {15, 5}, {15, 11}, {11, 15}, {5, 15}, {1, 11}, {1, 5}});
      Paint bar(dc, kWhite, kWhite);
      Rectangle(dc, x + 4, 7, x + 12, 9);
      break;
    }
    case kPictureHome: {
      {
        Paint roof(dc, kRed);
        Shape(dc, x, {{8, 1}, {15, 8}, {1, 8}});
      }
      Paint walls(dc, kBrown);
      Rectangle(dc, x + 3, 8, x + 13, 15);
      Paint door(dc, kWhite);
      Rectangle(dc, x + 7, 10, x + 10, 15);
      break;
    }
    case kPictureClose: {
      Paint paint(dc, kRed);
      Shape(dc, x, {{2, 4}, {4, 2}, {14, 12}, {12, 14}});
      Shape(dc, x, {{12, 2}, {14, 4}, {4, 14}, {2, 12}});
      break;
    }
  }
}

}  // namespace

HIMAGELIST DrawToolPictures() {
  const int width = kToolPictureSize * kToolPictureCount;
  sv::WindowDC screen(nullptr);
  HDC dc = CreateCompatibleDC(screen.Get());
  sv::GdiObject<HBITMAP> strip(CreateCompatibleBitmap(screen.Get(), width, kToolPictureSize));
  HIMAGELIST list = nullptr;
  {
    sv::SelectedObject selected(dc, strip.Get());
    RECT all = {0, 0, width, kToolPictureSize};
    sv::GdiObject<HBRUSH> mask(CreateSolidBrush(kMask));
    FillRect(dc, &all, mask.Get());
    for (int picture = 0; picture < kToolPictureCount; ++picture) DrawTool(dc, picture * kToolPictureSize, picture);
  }
  DeleteDC(dc);
  list = ImageList_Create(kToolPictureSize, kToolPictureSize, ILC_COLOR24 | ILC_MASK, kToolPictureCount, 0);
  if (list) ImageList_AddMasked(list, strip.Get(), kMask);
  return list;
}

void DrawAnimationFrame(HDC dc, const RECT& box, int frame) {
  constexpr double kPi = 3.14159265358979;
  const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  const int size = (box.right - box.left) < (box.bottom - box.top) ? box.right - box.left : box.bottom - box.top;
  const double radius = size * 0.36;
  const int dot = size / 7 + 1;
  for (int i = 0; i < kAnimationFrames; ++i) {
    // The dot `frame` is brightest; those behind it fade out.
    int age = (frame - i + kAnimationFrames) % kAnimationFrames;
    int level = 40 + age * 26;
    COLORREF colour = RGB(level / 2, level / 2 + 20, level + 20 > 255 ? 255 : level + 20);
    if (age == 0) colour = RGB(0, 70, 190);
    double angle = 2 * kPi * i / kAnimationFrames - kPi / 2;
    int x = cx + static_cast<int>(std::lround(radius * std::cos(angle)));
    int y = cy + static_cast<int>(std::lround(radius * std::sin(angle)));
    Paint paint(dc, colour, colour);
    Ellipse(dc, x - dot, y - dot, x + dot + 1, y + dot + 1);
  }
}

}  // namespace svbrowser
