// Late-bound calls on COM automation objects (ADO, the Jet engine object), so
// the library needs no type libraries and loads where ADO is missing.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>

#include "win_handles.h"

namespace data {

// A failed COM call, with the object's own description where it gave one
// (Windows-1251).
struct ComError {
  std::string message;
};

// Makes sure COM is initialised on the calling thread (once per thread).
void EnsureCom();

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  explicit Variant(const std::string& text1251);
  explicit Variant(long value) {
    VariantInit(&v_);
    v_.vt = VT_I4;
    v_.lVal = value;
  }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  const VARIANT& ref() const { return v_; }

  bool IsNullOrEmpty() const { return v_.vt == VT_NULL || v_.vt == VT_EMPTY; }
  long AsLong() const;    // throws ComError when it does not convert
  bool AsBool() const;    // throws ComError when it does not convert
  std::string AsText() const;  // Windows-1251; empty for null

 private:
  VARIANT v_;
};

// An owned IDispatch reference (moves hand it over; see sv::ComPtr).
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(IDispatch* p) : p_(p) {}  // takes the reference over

  static Dispatch Create(const wchar_t* progId);  // throws ComError

  explicit operator bool() const { return p_.Valid(); }
  void Reset() { p_.Reset(); }

  // Calls a method or reads a property with the arguments in their natural
  // order; throws ComError on failure.
  void Call(const wchar_t* name, std::initializer_list<VARIANT*> args, Variant* result = nullptr);
  void Get(const wchar_t* name, Variant* result, std::initializer_list<VARIANT*> args = {});
  // The result of Get as an object (empty when the value is no object).
  Dispatch GetObject(const wchar_t* name, std::initializer_list<VARIANT*> args = {});
  static Dispatch FromVariant(Variant& v);

 private:
  void Invoke(const wchar_t* name, WORD flags, std::initializer_list<VARIANT*> args, Variant* result);
  sv::ComPtr<IDispatch> p_;
};

std::string HResultText(HRESULT hr);

}  // namespace data
