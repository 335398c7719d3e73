#include "browser_host.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ole2.h>
#include <oleauto.h>

#include "wide.h"
#include "win_handles.h"

namespace svbrowser {

namespace {

// The platform's HTML document class (the import libraries lack its id).
constexpr CLSID kHtmlDocumentClass = {0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

// A BSTR owned for a scope.
class Bstr {
 public:
  explicit Bstr(const std::string& text1251) : value_(SysAllocString(sv::Wide(text1251).c_str())) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return value_; }
  BSTR* Out() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  std::string Text() const { return value_ ? sv::Narrow(std::wstring_view(value_, SysStringLen(value_))) : ""; }

 private:
  BSTR value_ = nullptr;
};

// The text of a VARIANT that holds a BSTR directly or by reference.
std::string VariantText(const VARIANT* v) {
  if (!v) return std::string();
  if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
  if (v->vt == VT_BSTR && v->bstrVal) return sv::Narrow(std::wstring_view(v->bstrVal, SysStringLen(v->bstrVal)));
  if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal && *v->pbstrVal)
    return sv::Narrow(std::wstring_view(*v->pbstrVal, SysStringLen(*v->pbstrVal)));
  return std::string();
}

bool SameObject(IUnknown* a, IUnknown* b) {
  if (!a || !b) return false;
  sv::ComPtr<IUnknown> ua, ub;
  if (FAILED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ua.Out())))) return false;
  if (FAILED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ub.Out())))) return false;
  return ua.Get() == ub.Get();
}

// The control needs the platform's HTML document class to show anything; a
// system without the HTML engine has the control but no pages.
bool HtmlEngineAvailable() {
  sv::ComPtr<IUnknown> document;
  HRESULT hr = CoCreateInstance(kHtmlDocumentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(document.Out()));
  return SUCCEEDED(hr) && document;
}

}  // namespace

// The container: the control's client site, in-place site and frame, and
// the sink of its DWebBrowserEvents2. One reference-counted object, so that
// the control may keep it as long as it needs.
class ContainerSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
 public:
  ContainerSite(HWND parent, const RECT& area, BrowserEvents* events)
      : parent_(parent), area_(area), events_(events) {}

  bool Start() {
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(object_.Out()))))
      return false;
    if (!HtmlEngineAvailable()) return false;
    if (FAILED(object_->SetClientSite(static_cast<IOleClientSite*>(this)))) return false;
    OleSetContainedObject(object_.Get(), TRUE);
    RECT area = area_;
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, parent_,
                               &area)))
      return false;
    if (FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser_.Out())))) return false;
    object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace_.Out()));
    sv::ComPtr<IConnectionPointContainer> points;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.Out()))) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, eventPoint_.Out())))
      eventPoint_->Advise(static_cast<IDispatch*>(this), &eventCookie_);
    browser_->put_Silent(VARIANT_TRUE);  // no script-error boxes of the control's own
    return true;
  }

  void Stop() {
    events_ = nullptr;
    if (browser_) browser_->Stop();
    if (eventPoint_ && eventCookie_) eventPoint_->Unadvise(eventCookie_);
    eventPoint_.Reset();
    eventCookie_ = 0;
    if (inPlace_) inPlace_->InPlaceDeactivate();
    inPlace_.Reset();
    browser_.Reset();
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
    }
    object_.Reset();
  }

  IWebBrowser2* Browser() const { return browser_.Get(); }

  void Move(const RECT& area) {
    area_ = area;
    if (inPlace_) inPlace_->SetObjectRects(&area_, &area_);
  }

  HWND ControlWindow() const {
    HWND window = nullptr;
    if (inPlace_) inPlace_->GetWindow(&window);
    return window;
  }

  // ---- IUnknown ----
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
      *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
      *out = static_cast<IDispatch*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // ---- IOleClientSite ----
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // ---- IOleWindow (of the in-place site and the frame alike) ----
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = parent_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // ---- IOleInPlaceSite ----
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame) {
      *frame = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
    }
    if (document) *document = nullptr;
    if (position) *position = area_;
    if (clip) *clip = area_;
    if (info) {
      info->fMDIApp = FALSE;
      info->hwndFrame = parent_;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT position) override {
    if (position && inPlace_) inPlace_->SetObjectRects(position, position);
    return S_OK;
  }

  // ---- IOleInPlaceUIWindow, IOleInPlaceFrame ----
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // ---- IDispatch: the events of DWebBrowserEvents2 ----
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    // The window's handlers are a library boundary too: nothing thrown
    // leaves this call.
    try {
      OnEvent(id, params);
    } catch (...) {
    }
    return S_OK;
  }

 private:
  virtual ~ContainerSite() = default;

  // Arguments come in reverse order: rgvarg[0] is the last one.
  void OnEvent(DISPID id, DISPPARAMS* params) {
    UINT count = params ? params->cArgs : 0;
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
        // Never cancel: the last argument is the cancel flag.
        if (count == 7 && params->rgvarg[0].vt == (VT_BYREF | VT_BOOL) && params->rgvarg[0].pboolVal)
          *params->rgvarg[0].pboolVal = VARIANT_FALSE;
        if (events_) events_->OnBeforeNavigate();
        break;
      case DISPID_DOWNLOADCOMPLETE:
        if (events_) events_->OnDownloadComplete();
        break;
      case DISPID_DOCUMENTCOMPLETE:
        // Frames of a page finish one by one; the page is done when the
        // control's own document is.
        if (count == 2 && events_ && params->rgvarg[1].vt == VT_DISPATCH &&
            SameObject(params->rgvarg[1].pdispVal, browser_.Get()))
          events_->OnDocumentComplete(VariantText(&params->rgvarg[0]));
        break;
      case DISPID_COMMANDSTATECHANGE:
        if (count == 2 && events_ && params->rgvarg[1].vt == VT_I4 && params->rgvarg[0].vt == VT_BOOL) {
          LONG command = params->rgvarg[1].lVal;
          bool enabled = params->rgvarg[0].boolVal != VARIANT_FALSE;
          if (command == CSC_NAVIGATEBACK) events_->OnHistoryState(true, enabled);
          if (command == CSC_NAVIGATEFORWARD) events_->OnHistoryState(false, enabled);
        }
        break;
    }
  }

  LONG references_ = 1;
  HWND parent_;
  RECT area_;
  BrowserEvents* events_;
  sv::ComPtr<IOleObject> object_;
  sv::ComPtr<IWebBrowser2> browser_;
  sv::ComPtr<IOleInPlaceObject> inPlace_;
  sv::ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
};

namespace {

// The control's current document as an HTML document, or null.
sv::ComPtr<IHTMLDocument2> Document(IWebBrowser2* browser) {
  sv::ComPtr<IHTMLDocument2> html;
  if (!browser) return html;
  sv::ComPtr<IDispatch> document;
  if (FAILED(browser->get_Document(document.Out())) || !document) return html;
  document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(html.Out()));
  return html;
}

}  // namespace

bool BrowserHost::Create(HWND parent, const RECT& area, BrowserEvents* events) {
  Destroy();
  HRESULT ole = OleInitialize(nullptr);
  oleStarted_ = SUCCEEDED(ole);
  site_ = new ContainerSite(parent, area, events);
  bool started = false;
  try {
    started = site_->Start();
  } catch (...) {
    started = false;
  }
  if (!started) Destroy();
  return started;
}

void BrowserHost::Destroy() {
  if (site_) {
    site_->Stop();
    site_->Release();
    site_ = nullptr;
  }
  if (oleStarted_) OleUninitialize();
  oleStarted_ = false;
}

bool BrowserHost::Available() const { return site_ && site_->Browser(); }

void BrowserHost::Move(const RECT& area) {
  if (site_) site_->Move(area);
}

void BrowserHost::Navigate(const std::string& url1251) {
  if (!Available()) return;
  Bstr url(url1251);
  VARIANT empty;
  VariantInit(&empty);
  site_->Browser()->Navigate(url.Get(), &empty, &empty, &empty, &empty);
}

void BrowserHost::GoBack() {
  if (Available()) site_->Browser()->GoBack();
}

void BrowserHost::GoForward() {
  if (Available()) site_->Browser()->GoForward();
}

void BrowserHost::Stop() {
  if (Available()) site_->Browser()->Stop();
}

void BrowserHost::Focus() {
  if (HWND window = ControlWindow()) SetFocus(window);
}

std::string BrowserHost::DocumentTitle() {
  sv::ComPtr<IHTMLDocument2> document = Document(Available() ? site_->Browser() : nullptr);
  Bstr title;
  if (!document || FAILED(document->get_title(title.Out()))) return std::string();
  return title.Text();
}

std::string BrowserHost::DocumentUrl() {
  sv::ComPtr<IHTMLDocument2> document = Document(Available() ? site_->Browser() : nullptr);
  Bstr url;
  if (!document || FAILED(document->get_URL(url.Out()))) return std::string();
  return url.Text();
}

void BrowserHost::ClearBodyBorder() {
  sv::ComPtr<IHTMLDocument2> document = Document(Available() ? site_->Browser() : nullptr);
  if (!document) return;
  sv::ComPtr<IHTMLElement> body;
  if (FAILED(document->get_body(body.Out())) || !body) return;
  sv::ComPtr<IHTMLStyle> style;
  if (FAILED(body->get_style(style.Out())) || !style) return;
  Bstr none("none");
  style->put_border(none.Get());
}

bool BrowserHost::WriteDocument(const std::string& html1251) {
  sv::ComPtr<IHTMLDocument2> document = Document(Available() ? site_->Browser() : nullptr);
  if (!document) return false;
  Bstr kind("text/html");
  VARIANT empty;
  VariantInit(&empty);
  sv::ComPtr<IDispatch> window;
  if (FAILED(document->open(kind.Get(), empty, empty, empty, window.Out()))) return false;
  SAFEARRAY* lines = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  if (!lines) return false;
  bool written = false;
  VARIANT* line = nullptr;
  if (SUCCEEDED(SafeArrayAccessData(lines, reinterpret_cast<void**>(&line)))) {
    line->vt = VT_BSTR;
    line->bstrVal = SysAllocString(sv::Wide(html1251).c_str());
    SafeArrayUnaccessData(lines);
    written = SUCCEEDED(document->write(lines));
  }
  SafeArrayDestroy(lines);  // frees the BSTR in it too
  document->close();
  Bstr charset("windows-1251");
  document->put_charset(charset.Get());
  return written;
}

HWND BrowserHost::ControlWindow() const { return site_ ? site_->ControlWindow() : nullptr; }

}  // namespace svbrowser
