// Exports of the multipart form object (TSVNetParams.FormStream).
#include "SolvikaNet.h"
#include "form.h"
#include "guard.h"
#include "svstring.h"

using svnet::Form;

SVNET_API void SVAPI SVNetFormCreate(void** form) {
  sv::GuardVoid([&] {
    if (!form) return;
    *form = nullptr;
    *form = new Form();
  });
}

SVNET_API SvBool SVAPI SVNetFormAddField(void* form, const char* name, const char* value) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (!form) return 0;
    ((Form*)form)->AddField(std::string(sv::Text(name)), std::string(sv::Text(value)));
    return 1;
  });
}

SVNET_API SvBool SVAPI SVNetFormAddFile(void* form, const char* fieldName, const char* filePath) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (!form) return 0;
    return ((Form*)form)->AddFile(std::string(sv::Text(fieldName)), std::string(sv::Text(filePath))) ? 1 : 0;
  });
}

SVNET_API void SVAPI SVNetFormFree(void** form) {
  sv::GuardVoid([&] {
    if (!form) return;
    delete (Form*)*form;
    *form = nullptr;
  });
}
