// Entry names of an archive, read without the engine.
//
// The names come from the central directory, which holds every entry also
// when the local headers carry no sizes (entries written with a data
// descriptor) and which no entry's data can imitate. Only an archive whose
// directory cannot be read (one cut short) is walked header by header from
// its start.
#include <windows.h>

#include "SolvikaPU.h"
#include "guard.h"
#include "names.h"
#include "svstring.h"
#include "wide.h"
#include "win_io.h"

namespace svpu {

namespace {

const size_t kNameKept = 256;

enum class Listing { kMissing, kDone, kStopped };

// Calls `visit` with each entry name (Windows-1251) until it returns true.
template <class Visit>
Listing ForEachName(const char* archive, Visit visit) {
  svzip::FileSource source;
  if (!source.Open(sv::Wide(sv::Text(archive)))) return Listing::kMissing;
  svzip::ZipDirectory dir;
  if (svzip::ReadDirectory(source, &dir)) {
    for (const svzip::ZipEntry& e : dir.entries) {
      std::string name = sv::Narrow(svzip::DecodeName(e));
      if (name.size() > kNameKept) name.resize(kNameKept);
      if (visit(name)) return Listing::kStopped;
    }
    return Listing::kDone;
  }
  bool stopped = false;
  svzip::WalkLocalHeaders(source, [&](const std::string& raw, uint16_t flags) {
    svzip::ZipEntry e;
    e.rawName = raw;
    e.flags = flags;
    e.versionMadeBy = 0x0300;  // unknown maker: UTF-8 when the bytes are UTF-8
    stopped = visit(sv::Narrow(svzip::DecodeName(e)));
    return stopped;
  });
  return stopped ? Listing::kStopped : Listing::kDone;
}

bool Matches(const std::string& mask, const std::string& name) {
  return svzip::IsAllMask(mask) || svzip::MaskMatch(mask, name);
}

}  // namespace

}  // namespace svpu

using namespace svpu;

SVPU_API void SVAPI SVZipFilesList(SvStr* out, const char* archive, const char* mask) {
  sv::GuardVoid([&] {
    std::string list;
    const std::string m(sv::Text(mask));
    ForEachName(archive, [&](const std::string& name) {
      if (Matches(m, name)) list += name + "\t";
      return false;
    });
    sv::PutStr(out, list);
  });
}

SVPU_API int32_t SVAPI FileExistsInZip(const char* archive, const char* mask) {
  return sv::Guard<int32_t>(SVZIP_CANNOT_OPEN, [&] {
    const std::string m(sv::Text(mask));
    Listing r = ForEachName(archive, [&](const std::string& name) { return Matches(m, name); });
    if (r == Listing::kMissing) return (int32_t)SVZIP_CANNOT_OPEN;
    return r == Listing::kStopped ? (int32_t)SVZIP_OK : (int32_t)SVZIP_NOT_IN_ARCHIVE;
  });
}
