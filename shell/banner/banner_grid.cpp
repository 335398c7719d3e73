#include "banner_grid.h"

#include "app.h"
#include "browser_open.h"
#include "file_io.h"
#include "fonts.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaNet.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

constexpr UINT_PTR kHintHideTimer = 1;
constexpr int kHintPadding = 3;
constexpr char kSettingsSection[] = "Solvika";
constexpr char kVersionsSection[] = "COM";
constexpr int kOfferedVersionDefault = 1;
#ifndef SV_SITE_ROOT
#define SV_SITE_ROOT "http://www.solvika.invalid/"
#endif
constexpr char kSiteRoot[] = SV_SITE_ROOT;

std::string IniText(const char* section, const char* key, const char* def) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, section, key, def); });
}

std::string BannerFolder() { return sv::ProgramFolder() + kBannerFolder + "\\"; }

}  // namespace

// ---- the hint window ----

bool BannerHintWindow::Create(HWND owner) {
  ui::RegisterWindowClass(ui::ThisModule(), kBannerHintClass, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                          nullptr, CS_SAVEBITS);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return Window::Create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kBannerHintClass, L"",
                        WS_POPUP | WS_BORDER, 0, 0, 0, 0, owner, ui::ThisModule()) != nullptr;
}

void BannerHintWindow::ShowAt(const std::string& text1251, POINT cursor) {
  if (!Handle()) return;
  std::wstring text = sv::Wide(text1251);
  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  RECT r{0, 0, screenWidth - 2 * kHintPadding, 0};
  {
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, font_);
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
  }
  int width = r.right + 2 * kHintPadding + 2, height = r.bottom + 2 * kHintPadding + 2;
  int x = cursor.x, y = cursor.y + kBannerHintBelowCursor;
  if (x + width > screenWidth) x = screenWidth - width;
  if (x < 0) x = 0;
  bool changed = text != text_;
  text_ = std::move(text);
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (changed) InvalidateRect(Handle(), nullptr, TRUE);
}

void BannerHintWindow::Hide() {
  if (Handle() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
}

bool BannerHintWindow::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT r;
    GetClientRect(Handle(), &r);
    InflateRect(&r, -kHintPadding, -kHintPadding);
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text_.c_str(), -1, &r, DT_NOPREFIX | DT_WORDBREAK);
    SelectObject(dc, old);
    EndPaint(Handle(), &ps);
    *result = 0;
    return true;
  }
  if (message == WM_MOUSEACTIVATE) {
    *result = MA_NOACTIVATE;
    return true;
  }
  return false;
}

// ---- the grid ----

BannerGrid::~BannerGrid() {
  download_.reset();
  hint_.Hide();
  Destroy();
}

bool BannerGrid::Create(HWND parent) {
  ui::RegisterWindowClass(ui::ThisModule(), kBannerPanelClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!Window::Create(WS_EX_CLIENTEDGE, kBannerPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                      parent, ui::ThisModule()))
    return false;
  topLevel_ = GetAncestor(parent, GA_ROOT);
  // The outer width whose client area holds exactly one grid row.
  RECT frame{0, 0, kBannerSquaresPerRow * kBannerSquareSize, 100};
  AdjustWindowRectEx(&frame, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
  panelWidth_ = frame.right - frame.left;
  hint_.Create(topLevel_);
  return true;
}

void BannerGrid::Show(const std::string& key, bool download) {
  if (exiting_ && exiting_()) return;
  std::string name = BannerNameFor(key);
  if (name == current_) return;
  current_ = name;
  bool current = LoadCurrent();
  if (current || !download) return;
  StartDownload(name);
}

bool BannerGrid::LoadCurrent() {
  std::string base = BannerFolder() + current_;
  std::string picturePath = base + kBannerPictureExtension, descriptionPath = base + kBannerDescriptionExtension;
  if (!sv::FileExists(picturePath) || !sv::FileExists(descriptionPath)) return false;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(nullptr, sv::Wide(picturePath).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::string text;
  if (!bitmap || !sv::ReadWholeFile(descriptionPath, &text)) {
    if (bitmap) DeleteObject(bitmap);
    return false;
  }
  picture_.Reset(bitmap);
  BITMAP info = {};
  GetObjectW(bitmap, sizeof(info), &info);
  pictureSize_ = SIZE{info.bmWidth, info.bmHeight};
  description_ = ParseBannerDescription(text);
  pictureEnabled_ = description_.enabled;
  hovered_ = 0;
  InvalidateRect(Handle(), nullptr, TRUE);
  if (onWidthChanged) onWidthChanged();
  return description_.version == GetIniInt(kVersionsSection, current_.c_str(), kOfferedVersionDefault);
}

void BannerGrid::StartDownload(const std::string& name) {
  download_.reset();
  auto job = std::make_unique<TTovrinNetDownload>();
  job->SetTimeout(kBannerDownloadTimeoutMs);
  job->SetTag(kBannerDownloadTag);
  job->onDone = [this] { OnDownloadDone(); };
  std::string folder = BannerFolder();
  CreateDirectoryW(sv::Wide(folder).c_str(), nullptr);
  pending_ = name;
  if (job->Download(folder, kBannerServerPath, name + ".zip")) download_ = std::move(job);
}

void BannerGrid::OnDownloadDone() {
  // The job goes once this handler returns: it is the caller.
  std::unique_ptr<TTovrinNetDownload> job = std::move(download_);
  bool succeeded = job && job->Succeeded();
  if (succeeded) {
    current_.clear();
    Show(pending_, false);
  }
  // Freed from the message queue, after the poll that called this is over.
  TTovrinNetDownload* finished = job.release();
  PostMessageW(Handle(), WM_APP, 0, reinterpret_cast<LPARAM>(finished));
}

bool BannerGrid::InsidePicture(int x, int y) const {
  return picture_ && x >= 0 && y >= 0 && x < pictureSize_.cx && y < pictureSize_.cy;
}

void BannerGrid::OnMouseMove(int x, int y) {
  if (!pictureEnabled_ || !InsidePicture(x, y) || GetForegroundWindow() != topLevel_) return;
  hovered_ = BannerSquareAt(x, y);
  POINT cursor;
  GetCursorPos(&cursor);
  hint_.ShowAt(BannerHintAt(description_, x, y), cursor);
  SetTimer(Handle(), kHintHideTimer, kBannerHintHideMs, nullptr);
}

void BannerGrid::OnClick(int x, int y) {
  if (!pictureEnabled_ || !InsidePicture(x, y)) return;
  hovered_ = BannerSquareAt(x, y);
  BannerClick click;
  click.scriptBase = sv::TakeOut([](SvStr* out) { GetMainScriptPath(out); });
  if (click.scriptBase.empty()) click.scriptBase = kSiteRoot;
  click.bannerName = current_;
  click.version = description_.version;
  click.clientNumber = sv::TakeOut([](SvStr* out) { GetProgramNum(out); });
  click.clientId = sv::TakeOut([](SvStr* out) { GetProgramId(out); });
  std::string referrer = IniText(kSettingsSection, "ComReferer", kSiteRoot);
  hint_.Hide();
  OpenInNewBrowserWindow(BannerClickAddress(description_, hovered_, click), BannerClickHeaders(referrer));
}

void BannerGrid::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  if (picture_) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture_.Get());
    BitBlt(dc, 0, 0, pictureSize_.cx, pictureSize_.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  EndPaint(Handle(), &ps);
}

bool BannerGrid::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_PAINT:
      Paint();
      *result = 0;
      return true;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      *result = 0;
      return true;
    case WM_LBUTTONUP:
      OnClick(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      *result = 0;
      return true;
    case WM_SETCURSOR:
      if (pictureEnabled_ && LOWORD(lparam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(Handle(), &p);
        if (InsidePicture(p.x, p.y)) {
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
          *result = TRUE;
          return true;
        }
      }
      return false;
    case WM_TIMER: {
      if (wparam != kHintHideTimer) return false;
      POINT p;
      GetCursorPos(&p);
      RECT panel;
      GetWindowRect(Handle(), &panel);
      if (!PtInRect(&panel, p)) {
        KillTimer(Handle(), kHintHideTimer);
        hint_.Hide();
      }
      *result = 0;
      return true;
    }
    case WM_APP:
      delete reinterpret_cast<TTovrinNetDownload*>(lparam);
      *result = 0;
      return true;
  }
  return false;
}

}  // namespace shell
