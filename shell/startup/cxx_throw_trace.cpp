// C++ exceptions of this build unwind by tables and raise no system
// exception, so the stack tracer would never see them: the link wraps the
// runtime's throw (-Wl,--wrap=__cxa_throw) and this records the stack first.
#include <cxxabi.h>

#include <typeinfo>

#include "stack_trace.h"

extern "C" {

[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void(_GLIBCXX_CDTOR_CALLABI* destroy)(void*));

[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, void(_GLIBCXX_CDTOR_CALLABI* destroy)(void*)) {
  shell::RecordThrowStack(1);
  __real___cxa_throw(object, type, destroy);
}

}  // extern "C"
