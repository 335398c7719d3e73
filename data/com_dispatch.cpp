#include "com_dispatch.h"

#include <vector>

#include "wide.h"

namespace data {

namespace {

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.')) s.pop_back();
  return s;
}

[[noreturn]] void Fail(HRESULT hr, EXCEPINFO* info = nullptr) {
  std::string text;
  if (info) {
    if (info->pfnDeferredFillIn) info->pfnDeferredFillIn(info);
    if (info->bstrDescription) text = sv::Narrow(std::wstring_view(info->bstrDescription, SysStringLen(info->bstrDescription)));
    if (info->scode) hr = info->scode;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
  }
  if (text.empty()) text = HResultText(hr);
  throw ComError{Trimmed(text)};
}

}  // namespace

std::string HResultText(HRESULT hr) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, (DWORD)hr, 0, (LPWSTR)&buf, 0, nullptr);
  std::string text;
  if (n && buf) text = Trimmed(sv::Narrow(std::wstring_view(buf, n)));
  if (buf) LocalFree(buf);
  char code[32];
  wsprintfA(code, "0x%08X", (unsigned)hr);
  return text.empty() ? std::string("COM error ") + code : text + " (" + code + ")";
}

void EnsureCom() {
  static thread_local bool done = false;
  if (done) return;
  // S_OK and S_FALSE both count one initialisation that is kept for the
  // thread's life; RPC_E_CHANGED_MODE means COM is already usable.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  done = true;
}

Variant::Variant(const std::string& text1251) {
  VariantInit(&v_);
  std::wstring w = sv::Wide(text1251);
  v_.vt = VT_BSTR;
  v_.bstrVal = SysAllocStringLen(w.data(), (UINT)w.size());
  if (!v_.bstrVal) throw ComError{"out of memory"};
}

long Variant::AsLong() const {
  VARIANT t;
  VariantInit(&t);
  HRESULT hr = VariantChangeType(&t, const_cast<VARIANT*>(&v_), 0, VT_I4);
  if (FAILED(hr)) Fail(hr);
  return t.lVal;
}

bool Variant::AsBool() const {
  VARIANT t;
  VariantInit(&t);
  HRESULT hr = VariantChangeType(&t, const_cast<VARIANT*>(&v_), 0, VT_BOOL);
  if (FAILED(hr)) Fail(hr);
  return t.boolVal != VARIANT_FALSE;
}

std::string Variant::AsText() const {
  if (IsNullOrEmpty()) return std::string();
  VARIANT t;
  VariantInit(&t);
  HRESULT hr = VariantChangeTypeEx(&t, const_cast<VARIANT*>(&v_), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR);
  if (FAILED(hr)) Fail(hr);
  std::string text = sv::Narrow(std::wstring_view(t.bstrVal, SysStringLen(t.bstrVal)));
  VariantClear(&t);
  return text;
}

Dispatch Dispatch::Create(const wchar_t* progId) {
  EnsureCom();
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) Fail(hr);
  IDispatch* p = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, (void**)&p);
  if (FAILED(hr) || !p) Fail(FAILED(hr) ? hr : E_NOINTERFACE);
  return Dispatch(p);
}

void Dispatch::Invoke(const wchar_t* name, WORD flags, std::initializer_list<VARIANT*> args, Variant* result) {
  if (!p_) throw ComError{"no object"};
  DISPID id = 0;
  LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = p_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) Fail(hr);
  // DISPPARAMS lists the arguments from last to first.
  std::vector<VARIANTARG> list(args.size());
  size_t i = args.size();
  for (VARIANT* a : args) list[--i] = *a;  // shallow copies: the callers keep ownership
  DISPPARAMS params = {list.empty() ? nullptr : list.data(), nullptr, (UINT)list.size(), 0};
  EXCEPINFO info = {};
  UINT badArg = 0;
  hr = p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result->get() : nullptr, &info, &badArg);
  if (hr == DISP_E_EXCEPTION) Fail(hr, &info);
  if (FAILED(hr)) Fail(hr);
}

void Dispatch::Call(const wchar_t* name, std::initializer_list<VARIANT*> args, Variant* result) {
  Invoke(name, DISPATCH_METHOD, args, result);
}

void Dispatch::Get(const wchar_t* name, Variant* result, std::initializer_list<VARIANT*> args) {
  Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, result);
}

Dispatch Dispatch::GetObject(const wchar_t* name, std::initializer_list<VARIANT*> args) {
  Variant v;
  Get(name, &v, args);
  return FromVariant(v);
}

Dispatch Dispatch::FromVariant(Variant& v) {
  VARIANT* r = v.get();
  IUnknown* unk = nullptr;
  if (r->vt == VT_DISPATCH) unk = r->pdispVal;
  else if (r->vt == VT_UNKNOWN) unk = r->punkVal;
  if (!unk) return Dispatch();
  IDispatch* d = nullptr;
  if (FAILED(unk->QueryInterface(IID_IDispatch, (void**)&d))) return Dispatch();
  return Dispatch(d);
}

}  // namespace data
