#include "contained_call.h"

#include <windows.h>

namespace plugins {

#if defined(__i386__)

namespace {

// A frame of the thread's exception handler chain (fs:[0]) as the system
// walks it, followed by where to resume when the body fails.
struct ContainedFrame {
  ContainedFrame* previous;
  void* handler;
  void* resume[5];  // the buffer of __builtin_setjmp
};

ContainedFrame* ChainHead() {
  ContainedFrame* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void SetChainHead(ContainedFrame* head) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory"); }

// Reached only for exceptions that every handler of the body passed on: the
// body's frames are unwound (their own handlers clean up) and left.
extern "C" EXCEPTION_DISPOSITION __cdecl ContainedHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  RtlUnwind(frame, nullptr, record, nullptr);
  __builtin_longjmp(static_cast<ContainedFrame*>(frame)->resume, 1);
}

// Kept out of line so that its frame, which holds the chain entry, stays put
// for the whole call.
__attribute__((noinline)) bool RunInFrame(void (*body)(void*), void* context) {
  ContainedFrame frame = {};
  frame.handler = reinterpret_cast<void*>(&ContainedHandler);
  frame.previous = ChainHead();
  if (__builtin_setjmp(frame.resume) != 0) {
    // Back from the handler: the system's dispatcher frames and the body's
    // are gone from the stack; the chain continues after this frame.
    SetChainHead(frame.previous);
    return false;
  }
  SetChainHead(&frame);
  body(context);
  SetChainHead(frame.previous);
  return true;
}

}  // namespace

bool CallContained(void (*body)(void* context), void* context) { return RunInFrame(body, context); }

#else

bool CallContained(void (*body)(void* context), void* context) {
  body(context);
  return true;
}

#endif

}  // namespace plugins
