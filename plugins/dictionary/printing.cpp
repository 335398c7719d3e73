#include "printing.h"

#include <windows.h>
#include <commdlg.h>

#include "win_handles.h"
#include "wide.h"

namespace lexikon {

namespace {

constexpr int kPrintPoints = 10;
constexpr int kPointsPerInch = 72;
constexpr wchar_t kPrintFace[] = L"Courier New";

// The default printer's device context, or null.
HDC DefaultPrinterDc() {
  PRINTDLGW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  if (!PrintDlgW(&dialog)) return nullptr;
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  return dialog.hDC;
}

}  // namespace

bool PrintToDefaultPrinter(const std::vector<std::string>& lines, const std::wstring& documentName) {
  sv::MemoryDC dc(DefaultPrinterDc());
  if (!dc) return false;
  sv::GdiObject<HFONT> font(CreateFontW(-MulDiv(kPrintPoints, GetDeviceCaps(dc.Get(), LOGPIXELSY), kPointsPerInch), 0,
                                        0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, kPrintFace));
  DOCINFOW document = {};
  document.cbSize = sizeof(document);
  document.lpszDocName = documentName.c_str();
  if (StartDocW(dc.Get(), &document) <= 0) return false;
  HGDIOBJ old = SelectObject(dc.Get(), font.Get());
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc.Get(), &metrics);
  int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  int pageHeight = GetDeviceCaps(dc.Get(), VERTRES);
  bool ok = lineHeight > 0 && StartPage(dc.Get()) > 0;
  int y = 0;
  for (size_t i = 0; ok && i < lines.size(); ++i) {
    if (y > 0 && y + lineHeight > pageHeight) {
      ok = EndPage(dc.Get()) > 0 && StartPage(dc.Get()) > 0;
      y = 0;
    }
    std::wstring text = sv::Wide(lines[i]);
    ok = ok && TextOutW(dc.Get(), 0, y, text.c_str(), static_cast<int>(text.size()));
    y += lineHeight;
  }
  ok = ok && EndPage(dc.Get()) > 0;
  SelectObject(dc.Get(), old);
  if (!ok) {
    AbortDoc(dc.Get());
    return false;
  }
  return EndDoc(dc.Get()) > 0;
}

}  // namespace lexikon
