#include "pictures.h"

#include <initializer_list>

#include "win_handles.h"

namespace fetchkeeper {

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);  // transparent colour of the strips
constexpr COLORREF kGreen = RGB(0, 150, 0);
constexpr COLORREF kBlue = RGB(0, 70, 190);
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kOrange = RGB(230, 140, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kYellow = RGB(230, 200, 0);
constexpr COLORREF kOutline = RGB(40, 40, 40);

enum class Shape { kDot, kQuestion, kCross, kArrowDown, kPause, kCheck, kGear, kBars, kMinus, kPlay, kUpArrow };

// Draws with a brush and pen of one colour for the life of the object.
class Paint {
 public:
  Paint(HDC dc, COLORREF colour) : dc_(dc), brush_(CreateSolidBrush(colour)), pen_(CreatePen(PS_SOLID, 1, kOutline)) {
    oldBrush_ = SelectObject(dc_, brush_.Get());
    oldPen_ = SelectObject(dc_, pen_.Get());
  }
  ~Paint() {
    SelectObject(dc_, oldBrush_);
    SelectObject(dc_, oldPen_);
  }

 private:
  HDC dc_;
  sv::GdiObject<HBRUSH> brush_;
  sv::GdiObject<HPEN> pen_;
  HGDIOBJ oldBrush_;
  HGDIOBJ oldPen_;
};

void DrawPolygon(HDC dc, int x, std::initializer_list<POINT> points) {
  constexpr int kMaxPoints = 8;
  POINT shifted[kMaxPoints];
  int n = 0;
  for (POINT p : points) {
    if (n == kMaxPoints) break;
    shifted[n++] = {p.x + x, p.y};
  }
  ::Polygon(dc, shifted, n);
}

void DrawShape(HDC dc, int x, Shape shape, COLORREF colour) {
  Paint paint(dc, colour);
  switch (shape) {
    case Shape::kDot:
      Ellipse(dc, x + 3, 3, x + 13, 13);
      break;
    case Shape::kQuestion:
      Ellipse(dc, x + 2, 2, x + 14, 14);
      Rectangle(dc, x + 7, 5, x + 9, 9);
      Rectangle(dc, x + 7, 10, x + 9, 12);
      break;
    case Shape::kCross:
      DrawPolygon(dc, x, {{2, 4}, {4, 2}, {14, 12}, {12, 14}});
      DrawPolygon(dc, x, {{12, 2}, {14, 4}, {4, 14}, {2, 12}});
      break;
    case Shape::kArrowDown:
      Rectangle(dc, x + 6, 1, x + 10, 8);
      DrawPolygon(dc, x, {{2, 8}, {14, 8}, {8, 14}});
      break;
    case Shape::kUpArrow:
      Rectangle(dc, x + 6, 8, x + 10, 15);
      DrawPolygon(dc, x, {{2, 8}, {14, 8}, {8, 2}});
      break;
    case Shape::kPause:
      Rectangle(dc, x + 3, 2, x + 7, 14);
      Rectangle(dc, x + 9, 2, x + 13, 14);
      break;
    case Shape::kCheck:
      DrawPolygon(dc, x, {{1, 8}, {4, 5}, {7, 8}, {13, 2}, {15, 5}, {7, 13}});
      break;
    case Shape::kGear:
      Rectangle(dc, x + 2, 6, x + 14, 10);
      Rectangle(dc, x + 6, 2, x + 10, 14);
      Ellipse(dc, x + 4, 4, x + 12, 12);
      break;
    case Shape::kBars:
      Rectangle(dc, x + 2, 10, x + 5, 14);
      Rectangle(dc, x + 6, 6, x + 9, 14);
      Rectangle(dc, x + 10, 2, x + 13, 14);
      break;
    case Shape::kMinus:
      Rectangle(dc, x + 2, 6, x + 14, 10);
      break;
    case Shape::kPlay:
      DrawPolygon(dc, x, {{4, 2}, {13, 8}, {4, 14}});
      break;
  }
}

// A gauge of `level` (1 to 7) filled bars: the higher the level, the faster.
void DrawGauge(HDC dc, int x, int level, COLORREF colour) {
  Paint paint(dc, colour);
  for (int i = 0; i < level; ++i) Rectangle(dc, x + 1 + i * 2, 14 - (i + 1) * 2, x + 3 + i * 2, 15);
}

// `count` small boxes, side by side and stacked: the number of jobs at once.
void DrawJobs(HDC dc, int x, int count, COLORREF colour) {
  Paint paint(dc, colour);
  for (int i = 0; i < count; ++i) {
    int column = i % 4, row = i / 4;
    Rectangle(dc, x + 1 + column * 4, 11 - row * 5, x + 4 + column * 4, 15 - row * 5);
  }
}

template <class DrawFn>
HIMAGELIST DrawStrip(int count, DrawFn draw) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, kPictureSize * count, kPictureSize);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, strip);
  RECT all = {0, 0, kPictureSize * count, kPictureSize};
  sv::GdiObject<HBRUSH> mask(CreateSolidBrush(kMask));
  FillRect(dc, &all, mask.Get());
  for (int i = 0; i < count; ++i) draw(dc, i * kPictureSize, i);
  SelectObject(dc, old);
  DeleteDC(dc);
  HIMAGELIST list = ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, count, 0);
  ImageList_AddMasked(list, strip, kMask);
  DeleteObject(strip);
  return list;
}

}  // namespace

HIMAGELIST DrawStatusPictures() {
  struct Look {
    Shape shape;
    COLORREF colour;
  };
  // New, querying, query failed, ready, transferring, paused, transferred,
  // installing, install failed, installed, transfer failed, not found, deleted.
  static const Look looks[kStatusPictureCount] = {
      {Shape::kDot, kNavy},        {Shape::kQuestion, kBlue},  {Shape::kCross, kOrange},
      {Shape::kPlay, kGrey},       {Shape::kArrowDown, kGreen}, {Shape::kPause, kYellow},
      {Shape::kArrowDown, kBlue},  {Shape::kGear, kBlue},      {Shape::kCross, kOrange},
      {Shape::kCheck, kGreen},     {Shape::kCross, kRed},      {Shape::kQuestion, kRed},
      {Shape::kMinus, kGrey},
  };
  return DrawStrip(kStatusPictureCount, [](HDC dc, int x, int i) { DrawShape(dc, x, looks[i].shape, looks[i].colour); });
}

HIMAGELIST DrawButtonPictures() {
  return DrawStrip(kButtonPictureCount, [](HDC dc, int x, int i) {
    static const int kJobCounts[] = {1, 2, 5, 8};  // pictures 7 to 10: 1, 2, 5, 10 jobs
    switch (i) {
      case kPictureClose: DrawShape(dc, x, Shape::kCross, kRed); break;
      case kPictureUp: DrawShape(dc, x, Shape::kUpArrow, kBlue); break;
      case kPictureDown: DrawShape(dc, x, Shape::kArrowDown, kBlue); break;
      case kPictureStart: DrawShape(dc, x, Shape::kPlay, kGreen); break;
      case kPicturePause: DrawShape(dc, x, Shape::kPause, kYellow); break;
      case kPictureAdd: DrawShape(dc, x, Shape::kArrowDown, kGreen); break;
      case kPictureSpare: DrawShape(dc, x, Shape::kBars, kGrey); break;
      default:
        if (i <= 10) DrawJobs(dc, x, kJobCounts[i - 7], kBlue);
        else DrawGauge(dc, x, i - 10, i == 17 ? kGreen : kOrange);  // 11: slowest .. 17: unlimited
    }
  });
}

}  // namespace fetchkeeper
