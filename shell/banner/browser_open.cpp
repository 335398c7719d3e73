#include "browser_open.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>

#include "wide.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {


void CALLBACK BringBrowserToFront(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND frame = FindWindowW(L"IEFrame", nullptr)) SetForegroundWindow(frame);
}

struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  void SetText(const std::string& text1251) {
    VariantClear(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(sv::Wide(text1251).c_str());
  }
};

bool NavigateAutomation(const std::string& address, const std::string& headers, const std::string& targetFrame) {
  bool comStarted = SUCCEEDED(CoInitialize(nullptr));
  bool done = false;
  IWebBrowser2* browser = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_LOCAL_SERVER, IID_IWebBrowser2,
                                 reinterpret_cast<void**>(&browser))) &&
      browser) {
    Variant url, flags, frame, postData, extra;
    url.SetText(address);
    flags.v.vt = VT_I4;
    // A fresh automation browser is itself the new window.
    flags.v.lVal = 0;
    if (!targetFrame.empty()) frame.SetText(targetFrame);
    extra.SetText(headers);
    done = SUCCEEDED(browser->Navigate2(&url.v, &flags.v, &frame.v, &postData.v, &extra.v));
    browser->put_Visible(VARIANT_TRUE);
    browser->Release();
  }
  if (comStarted) CoUninitialize();
  return done;
}

}  // namespace

bool OpenInNewBrowserWindow(const std::string& address, const std::string& headers, const std::string& targetFrame) {
  bool carried = NavigateAutomation(address, headers, targetFrame);
  if (!carried) SVShellWWW(address.c_str());
  SetTimer(nullptr, 0, kBrowserToFrontMs, &BringBrowserToFront);
  return carried;
}

}  // namespace shell
