#include "splash_binding.h"

#include "file_io.h"
#include "wide.h"

namespace shell {

void SplashBinding::Show(HWND application) {
  Close();
  module_.Reset(LoadLibraryW(sv::Wide(sv::ProgramFolder() + kSplashLibrary).c_str()));
  if (!module_) return;
  auto show = reinterpret_cast<ShowFn>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), "ShowLogoForm")));
  close_ = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), "CloseLogoForm")));
  if (!show || !close_) {
    close_ = nullptr;
    module_.Reset();
    return;
  }
  show(application);
}

void SplashBinding::Close() {
  if (close_) close_();
  close_ = nullptr;
  module_.Reset();
}

}  // namespace shell
