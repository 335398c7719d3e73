// The ActiveX control of a plugin: its library registered and loaded for as
// long as the control lives, the control created by class identifier in a
// child window (the platform's AtlAxWin container) that fills its parent.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "win_handles.h"

namespace plugins {

class ActiveXControl {
 public:
  // Registers the control library `library` (the setting, relative to the
  // program folder) and creates the control `guid_text` in `parent`. Shows
  // the error boxes of a missing or broken library; null when no control was
  // created.
  static std::unique_ptr<ActiveXControl> Create(HWND parent, const std::string& library, const std::string& guid_text);
  // Destroys the control, unregisters the library when it could be, frees it.
  ~ActiveXControl();
  ActiveXControl(const ActiveXControl&) = delete;
  ActiveXControl& operator=(const ActiveXControl&) = delete;

  HWND Window() const { return window_; }
  void FillParent();

 private:
  using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();

  ActiveXControl() = default;
  bool LoadLibraryChecked(const std::string& library);
  bool CreateWindowFor(HWND parent, const CLSID& clsid);

  sv::Module library_;
  RegistrationEntry unregister_ = nullptr;
  HWND window_ = nullptr;
};

}  // namespace plugins
