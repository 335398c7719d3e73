// Move-only RAII owners for Win32 handles, GDI objects, COM pointers and locks.
// Each owner frees its resource once, in its destructor or on Reset(); Get()
// lends the raw value, Release() hands it over without freeing it, and
// Valid() / explicit bool tell whether anything is owned.
#pragma once

#include <windows.h>

namespace sv {

// Generic owner: Traits names the raw type, its "none" value, what counts as
// valid and how to free it.
template <class Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() = default;
  explicit UniqueResource(Type value) : value_(value) {}
  ~UniqueResource() { Reset(); }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Type Get() const { return value_; }
  bool Valid() const { return Traits::Valid(value_); }
  explicit operator bool() const { return Valid(); }

  // Gives up ownership without freeing.
  Type Release() {
    Type value = value_;
    value_ = Traits::None();
    return value;
  }
  // Frees what is owned and takes `value` instead.
  void Reset(Type value = Traits::None()) {
    if (Traits::Valid(value_)) Traits::Free(value_);
    value_ = value;
  }
  // Frees what is owned and lends the slot to an API that returns the value
  // through a pointer (RegOpenKeyExW and the like).
  Type* Out() {
    Reset();
    return &value_;
  }

 private:
  Type value_ = Traits::None();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type None() { return nullptr; }
  // CreateFile reports failure with INVALID_HANDLE_VALUE, most others with null.
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(Type h) { CloseHandle(h); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type None() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(Type h) { FindClose(h); }
};

struct ModuleTraits {
  using Type = HMODULE;
  static Type None() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { FreeLibrary(h); }
};

struct RegKeyTraits {
  using Type = HKEY;
  static Type None() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { RegCloseKey(h); }
};

template <class T>
struct GdiObjectTraits {
  using Type = T;
  static Type None() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { DeleteObject((HGDIOBJ)h); }
};

struct MemoryDCTraits {
  using Type = HDC;
  static Type None() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { DeleteDC(h); }
};

struct MenuTraits {
  using Type = HMENU;
  static Type None() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { DestroyMenu(h); }
};

struct IconTraits {
  using Type = HICON;
  static Type None() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { DestroyIcon(h); }
};

// Any kernel handle closed with CloseHandle: files, processes, mutexes, pipes.
using Handle = UniqueResource<KernelHandleTraits>;
using FileHandle = Handle;
// A FindFirstFile search, closed with FindClose.
using FindHandle = UniqueResource<FindHandleTraits>;
// A loaded library, freed with FreeLibrary.
using Module = UniqueResource<ModuleTraits>;
using RegKey = UniqueResource<RegKeyTraits>;
// A pen, brush, font, bitmap or region, deleted with DeleteObject.
template <class T>
using GdiObject = UniqueResource<GdiObjectTraits<T>>;
// A CreateCompatibleDC / CreateDC device context, deleted with DeleteDC.
using MemoryDC = UniqueResource<MemoryDCTraits>;
using Menu = UniqueResource<MenuTraits>;
using Icon = UniqueResource<IconTraits>;

// An event object. Set() signals it, Clear() resets it, Wait() waits for it.
class Event : public Handle {
 public:
  Event() = default;
  explicit Event(HANDLE h) : Handle(h) {}
  static Event Create(bool manualReset, bool initiallySet) {
    return Event(CreateEventW(nullptr, manualReset ? TRUE : FALSE, initiallySet ? TRUE : FALSE, nullptr));
  }
  bool Set() const { return SetEvent(Get()) != 0; }
  bool Clear() const { return ResetEvent(Get()) != 0; }
  // True when the event was signalled within `ms` milliseconds.
  bool Wait(DWORD ms) const { return WaitForSingleObject(Get(), ms) == WAIT_OBJECT_0; }
};

// A thread's handle. Waiting for the thread is the owner's decision: the
// destructor only closes the handle.
class Thread : public Handle {
 public:
  Thread() = default;
  explicit Thread(HANDLE h) : Handle(h) {}
  static Thread Start(LPTHREAD_START_ROUTINE body, void* param) {
    return Thread(CreateThread(nullptr, 0, body, param, 0, nullptr));
  }
  // True when the thread ended within `ms` milliseconds.
  bool Wait(DWORD ms) const { return WaitForSingleObject(Get(), ms) == WAIT_OBJECT_0; }
};

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDC {
 public:
  WindowDC() = default;
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() { Reset(); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(other.Release()) {}
  WindowDC& operator=(WindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      window_ = other.window_;
      dc_ = other.Release();
    }
    return *this;
  }
  HDC Get() const { return dc_; }
  bool Valid() const { return dc_ != nullptr; }
  explicit operator bool() const { return Valid(); }
  HDC Release() {
    HDC dc = dc_;
    dc_ = nullptr;
    return dc;
  }
  void Reset() {
    if (dc_) ReleaseDC(window_, dc_);
    dc_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// Selects an object into a device context and selects the previous one back
// when it goes out of scope.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { Reset(); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  SelectedObject(SelectedObject&& other) noexcept : dc_(other.dc_), old_(other.Release()) {}
  SelectedObject& operator=(SelectedObject&& other) noexcept {
    if (this != &other) {
      Reset();
      dc_ = other.dc_;
      old_ = other.Release();
    }
    return *this;
  }
  // The object that was selected before.
  HGDIOBJ Get() const { return old_; }
  bool Valid() const { return old_ != nullptr && old_ != HGDI_ERROR; }
  explicit operator bool() const { return Valid(); }
  // Keeps the new selection; returns the previous object.
  HGDIOBJ Release() {
    HGDIOBJ old = old_;
    old_ = nullptr;
    return old;
  }
  // Restores the previous selection now.
  void Reset() {
    if (Valid()) SelectObject(dc_, old_);
    old_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// An owned COM interface pointer: Release() of the interface on destruction.
// Out() lends the slot to a call that returns an AddRef'ed pointer.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(other.Release()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  bool Valid() const { return p_ != nullptr; }
  explicit operator bool() const { return Valid(); }
  T* Release() {
    T* p = p_;
    p_ = nullptr;
    return p;
  }
  void Reset(T* p = nullptr) {
    if (p_) p_->Release();
    p_ = p;
  }
  T** Out() {
    Reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// A critical section that lives as long as its owner.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&cs_); }
  ~CriticalSection() { DeleteCriticalSection(&cs_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&cs_); }
  void Leave() { LeaveCriticalSection(&cs_); }
  CRITICAL_SECTION* Native() { return &cs_; }

 private:
  CRITICAL_SECTION cs_;
};

// The one lock guard: holds a critical section for its scope. Works on a
// CriticalSection or on a plain CRITICAL_SECTION another API initialised.
class Lock {
 public:
  explicit Lock(CriticalSection& cs) : cs_(cs.Native()) { EnterCriticalSection(cs_); }
  explicit Lock(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
  explicit Lock(CRITICAL_SECTION& cs) : Lock(&cs) {}
  ~Lock() { LeaveCriticalSection(cs_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION* cs_;
};

}  // namespace sv
