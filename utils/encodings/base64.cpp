// Base64 with the standard alphabet and "=" padding, no line breaks. The
// decoder reads whole groups of four characters; a character outside the
// alphabet (the padding included) still takes its six-bit place but does not
// count, so a group yields as many bytes as its valid characters allow.
#include <string>

#include "SolvikaUtils.h"
#include "base64.h"
#include "guard.h"
#include "svstring.h"

SVU_API SvStr SVAPI EncodeBase64(SvStr bytes) {
  return sv::Guard<SvStr>(nullptr, [&] { return sv::NewStr(sv::Base64Encode(sv::Bytes(bytes))); });
}

SVU_API SvStr SVAPI DecodeBase64(SvStr text) {
  return sv::Guard<SvStr>(nullptr, [&] { return sv::NewStr(sv::Base64Decode(sv::Bytes(text))); });
}
