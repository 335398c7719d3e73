// Field splitting: the reader behind every tab-separated record and every
// "/"-separated host list. Each call takes the next field off the front of
// the rest text; a loop ends when the call returns false.
#include <string.h>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

SVU_API SvBool SVAPI _ParceChar(SvStr* rest, SvStr* field, char separator) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (!rest) {
      sv::StrPut(field, nullptr);
      return 0;
    }
    SvStr text = *rest;
    const int32_t n = sv::Length(text);
    const char* sep = n ? (const char*)memchr(text, (unsigned char)separator, (size_t)n) : nullptr;
    SvStr newField, newRest;
    if (sep) {
      int32_t p = (int32_t)(sep - text);
      newField = sv::StrNew(text, p);
      newRest = sv::StrNew(sep + 1, n - p - 1);
    } else {
      // No separator: the whole rest is the field, handed over as it is.
      sv::AddRef(text);
      newField = text;
      newRest = nullptr;
    }
    const SvBool any = newField || newRest;
    sv::StrPut(field, newField);
    sv::StrPut(rest, newRest);
    return any;
  });
}

SVU_API SvBool SVAPI _ParceTab(SvStr* rest, SvStr* field) { return _ParceChar(rest, field, '\t'); }

SVU_API SvBool SVAPI _ParceHosts(SvStr* rest, SvStr* field) { return _ParceChar(rest, field, '/'); }
