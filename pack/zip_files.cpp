// The file-level zip functions over the engine handles, with their result
// codes and texts.
//
// Every unpack runs through the scratch folder program folder +
// "SVData\SVUNZ\", in a subfolder of its own per process: the unpack lock
// keeps the threads of one process apart, the subfolder keeps apart two
// processes of the same program folder (a closing copy and the launcher).
// The subfolder is removed on every way out; folders of ended processes are
// removed before the next unpack.
#include <windows.h>

#include "SolvikaPU.h"
#include "engine.h"
#include "file_io.h"
#include "folders.h"
#include "guard.h"
#include "lists.h"
#include "svstring.h"
#include "unpack_scratch.h"
#include "wide.h"

namespace svpu {

namespace {

class UnzHandle {
 public:
  UnzHandle() { SVUnzCreate(&h_); }
  ~UnzHandle() { SVUnzDestroy(&h_); }
  void* Get() const { return h_; }

 private:
  void* h_ = nullptr;
};

class ZipHandle {
 public:
  ZipHandle() { SVZipCreate(&h_); }
  ~ZipHandle() { SVZipDestroy(&h_); }
  void* Get() const { return h_; }

 private:
  void* h_ = nullptr;
};

int32_t Unzip(const char* archive, const char* folder, const char* masks) {
  // An empty target would become "\", the root of the current drive.
  if (sv::Text(folder).empty()) return SVZIP_OTHER;
  // The own scratch folder is made, used and removed under the lock, so the
  // threads of this process never see it half-used or already gone; what
  // ended processes left behind goes first.
  sv::Lock lock(UnpackLock());
  RemoveStaleScratch();
  ScratchFolder scratch;
  if (!scratch.Create()) return SVZIP_OTHER;
  UnzHandle unz;
  if (!unz.Get()) return SVZIP_NO_UNZDLL;
  sv::EmptyFolder(scratch.Path());
  for (const std::string& mask : SplitList(sv::Text(masks))) {
    if (!SVUnzExstract(unz.Get(), archive, scratch.Path().c_str(), mask.c_str())) return SVZIP_CANNOT_OPEN;
  }
  std::string target = sv::WithSlash(std::string(sv::Text(folder)));
  sv::CreateFolderTree(target);
  MoveContent(scratch.Path(), target);
  return SVZIP_OK;
}

int32_t ZipEach(const char* archive, const char* list, SvBool(SVAPI* step)(void*, const char*, const char*)) {
  ZipHandle zip;
  if (!zip.Get()) return SVZIP_NO_ZIPDLL;
  for (const std::string& item : SplitList(sv::Text(list)))
    if (!step(zip.Get(), archive, item.c_str())) return SVZIP_CANNOT_CREATE;
  return SVZIP_OK;
}

}  // namespace

}  // namespace svpu

using namespace svpu;

SVPU_API int32_t SVAPI UnZipFiles(const char* archive, const char* folder, const char* masks) {
  return sv::Guard<int32_t>(SVZIP_OTHER, [&] { return Unzip(archive, folder, masks); });
}

SVPU_API int32_t SVAPI ZipFiles(const char* archive, const char* files) {
  return sv::Guard<int32_t>(SVZIP_OTHER, [&] { return ZipEach(archive, files, SVZipAdd); });
}

SVPU_API int32_t SVAPI ZipDelete(const char* archive, const char* names) {
  return sv::Guard<int32_t>(SVZIP_OTHER, [&] { return ZipEach(archive, names, SVZipDelete); });
}

// Each name or mask of the list is tested in the archive: damaged data or an
// unreadable archive gives 3, a name that matches no entry gives 6.
SVPU_API int32_t SVAPI ZipTest(const char* archive, const char* names) {
  return sv::Guard<int32_t>(SVZIP_OTHER, [&] {
    UnzHandle unz;
    if (!unz.Get()) return (int32_t)SVZIP_NO_UNZDLL;
    for (const std::string& name : SplitList(sv::Text(names))) {
      if (!SVUnzTest(unz.Get(), archive, name.c_str())) return (int32_t)SVZIP_CANNOT_OPEN;
      if (SVZipUnzResult(unz.Get()) == 0) return (int32_t)SVZIP_NOT_IN_ARCHIVE;
    }
    return (int32_t)SVZIP_OK;
  });
}

SVPU_API void SVAPI ZipErrorStr(SvStr* out, int32_t code) {
  sv::GuardVoid([&] {
    const char* text;
    switch (code) {
      case 0: text = ""; break;
      case 1: text = u8"Не найден файл UnzDll.dll"; break;
      case 2: text = u8"Не найден файл ZipDll.dll"; break;
      case 3: text = u8"Невозможно открыть архив"; break;
      case 4: text = u8"Невозможно создать архив"; break;
      case 5: text = u8"Ошибка ZipMaster"; break;
      case 6: text = u8"Файла в архиве нет"; break;
      default: text = u8"Неопознанная ошибка"; break;
    }
    sv::PutStr(out, sv::Ru(text));
  });
}
