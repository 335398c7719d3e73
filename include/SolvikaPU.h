// Exports of SolvikaPU.dll: zip archives through the zip engine (UnzDll.dll and
// ZipDll.dll, loaded from the program folder at run time), direct reading of
// an archive's entry names, zlib-compressed byte strings, and the application
// of pending update packages at program start.
//
// Text arguments (archive paths, folders, tab-separated mask lists) are
// Windows-1251 texts read up to their first zero byte. Byte strings given to
// zlibCompress/zlibDecompress are read with the length from their header.
#pragma once

#include "sv_abi.h"

#ifdef SV_BUILDING_PU
#define SVPU_API SV_EXPORT
#else
#define SVPU_API SV_IMPORT
#endif

// Results of the file-level zip functions (texts from ZipErrorStr).
enum {
  SVZIP_OK = 0,
  SVZIP_NO_UNZDLL = 1,     // UnzDll.dll or its entry point is missing
  SVZIP_NO_ZIPDLL = 2,     // ZipDll.dll or its entry point is missing
  SVZIP_CANNOT_OPEN = 3,   // unpacking failed or the archive cannot be read
  SVZIP_CANNOT_CREATE = 4, // packing or deleting failed
  SVZIP_ENGINE_ERROR = 5,
  SVZIP_NOT_IN_ARCHIVE = 6,
  SVZIP_OTHER = 7          // also: the scratch folder cannot be created
};

// ---- file-level zip functions ----
SVPU_API int32_t SVAPI UnZipFiles(const char* archive, const char* targetFolder, const char* masks);
SVPU_API int32_t SVAPI ZipFiles(const char* archive, const char* files);
SVPU_API int32_t SVAPI ZipDelete(const char* archive, const char* names);
SVPU_API int32_t SVAPI ZipTest(const char* archive, const char* names);
SVPU_API void SVAPI ZipErrorStr(SvStr* out, int32_t code);
SVPU_API int32_t SVAPI FileExistsInZip(const char* archive, const char* mask);
SVPU_API void SVAPI SVZipFilesList(SvStr* out, const char* archive, const char* mask);
SVPU_API int32_t SVAPI GetUnzDllVersion(void);
SVPU_API int32_t SVAPI GetZipDllVersion(void);

// ---- engine handles ----
SVPU_API SvBool SVAPI SVUnzCreate(void** handle);
SVPU_API SvBool SVAPI SVZipCreate(void** handle);
SVPU_API void SVAPI SVUnzDestroy(void** handle);
SVPU_API void SVAPI SVZipDestroy(void** handle);
SVPU_API SvBool SVAPI SVUnzExstract(void* handle, const char* archive, const char* targetFolder, const char* mask);
SVPU_API SvBool SVAPI SVUnzTest(void* handle, const char* archive, const char* mask);
SVPU_API SvBool SVAPI SVZipAdd(void* handle, const char* archive, const char* fileSpec);
SVPU_API SvBool SVAPI SVZipDelete(void* handle, const char* archive, const char* fileSpec);
SVPU_API SvBool SVAPI SVisZipUnzCorrect(void* handle);
SVPU_API int32_t SVAPI SVZipUnzResult(void* handle);
SVPU_API void SVAPI SVUnzCSEnter(void);
SVPU_API void SVAPI SVUnzCSLeave(void);
SVPU_API void SVAPI SVZipCSEnter(void);
SVPU_API void SVAPI SVZipCSLeave(void);

// ---- zlib ----
SVPU_API void SVAPI zlibCompress(SvStr* out, SvStr data);
SVPU_API void SVAPI zlibDecompress(SvStr* out, SvStr data);
// The out buffer is allocated by the library; free it with zlibFreeBuf.
SVPU_API SvBool SVAPI zlibCompressBuf(const void* input, int32_t inputLength, void** output, int32_t* outputLength);
SVPU_API SvBool SVAPI zlibDecompressBuf(const void* input, int32_t inputLength, int32_t sizeEstimate, void** output,
                                        int32_t* outputLength);
SVPU_API void SVAPI zlibFreeBuf(void* buffer);

// ---- pending updates ----
SVPU_API void SVAPI SolvikaStart(void);
SVPU_API SvBool SVAPI ExtrUpdates(const char* package);

#ifdef SV_BUILDING_PU
// Every library exports its own GetModuleVersion; callers ask a library file
// for it through GetDllModuleVersion (SolvikaUtils).
SVPU_API int32_t SVAPI GetModuleVersion(void);
#endif
