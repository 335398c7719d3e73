// The MD5 export of the utility library for native fuzz builds: the job file
// reader checks its digest through this export, and the digest itself is the
// library's own pure implementation.
#include "SolvikaUtils.h"
#include "md5.h"
#include "svstring.h"

SV_EXPORT SvStr SVAPI MD5(SvStr text) { return sv::NewStr(utils::Md5::Of(text, (size_t)sv::Length(text))); }
