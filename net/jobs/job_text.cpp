#include "jobs/job_text.h"

#include <cstdio>

#include "SolvikaNet.h"

namespace svnet {

const char* MethodName(int method) {
  static const char* const names[] = {"NONE", "GET", "POST", "HEAD", "PREV206", "POSTorGET"};
  return method >= SVNET_NONE && method <= SVNET_POSTORGET ? names[method] : names[SVNET_NONE];
}

std::string HandleText(HANDLE thread) {
  char text[16];
  std::snprintf(text, sizeof text, "%08lX", (unsigned long)(uintptr_t)thread);
  return text;
}

}  // namespace svnet
