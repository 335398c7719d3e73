// Exports of SolvikaNet.dll: HTTP jobs, multipart forms, host lists, proxy
// settings and the background main thread that talks to the maker's servers.
#pragma once

#include <stddef.h>

#include "sv_abi.h"

#ifdef SV_BUILDING_NET
#define SVN_API SV_EXPORT
#else
#define SVN_API SV_IMPORT
#endif

// Methods of a job (TSVNetParams.Method).
enum {
  SVNET_NONE = 0,
  SVNET_GET = 1,
  SVNET_POST = 2,
  SVNET_HEAD = 3,
  SVNET_PREV206 = 4,
  SVNET_POSTORGET = 5,
};

// Host modes (TSVNetParams.HostMode).
enum { SVNET_HOSTS_AUTO = 0, SVNET_HOSTS_SCRIPT = 1, SVNET_HOSTS_SOURCE = 2, SVNET_HOSTS_EXPLICIT = 3 };

// Job states.
enum { SVNET_IDLE = 0, SVNET_RUNNING = 1, SVNET_READY = 2, SVNET_SUCCEEDED = 3, SVNET_FAILED = 4 };

#pragma pack(push, 4)
typedef struct TSVNetParams {
  int32_t Size;  // 48
  uint8_t Method;
  uint8_t HostMode;
  SvBool AutoExtract;
  SvBool ZipUpload;
  SvBool Resume;
  SvBool ResetHost;
  SvStr Path;
  SvStr Host;
  SvStr Files;
  SvStr LocalDir;
  SvStr UploadFile;
  int32_t Timeout;
  SvStr Tag;
  void* FormStream;
  uint16_t Pause;
  SvBool LogReply;
} TSVNetParams;
#pragma pack(pop)

typedef struct TSVNetFileListRec {
  SvStr Name;
  SvStr Path;
  int32_t Offset;
  SvStr Host;
  int32_t ResultCode;
  int32_t Bytes;
  SvStr ETag;
  double LastModified;
} TSVNetFileListRec;

#ifdef __cplusplus
static_assert(sizeof(void*) != 4 || sizeof(TSVNetParams) == 48, "TSVNetParams is 48 bytes");
static_assert(sizeof(void*) != 4 || offsetof(TSVNetParams, Path) == 12, "TSVNetParams.Path at 12");
static_assert(sizeof(void*) != 4 || offsetof(TSVNetParams, Pause) == 44, "TSVNetParams.Pause at 44");
static_assert(sizeof(void*) != 4 || sizeof(TSVNetFileListRec) == 40, "TSVNetFileListRec is 40 bytes");
static_assert(sizeof(void*) != 4 || offsetof(TSVNetFileListRec, LastModified) == 32, "LastModified at 32");
#endif

// ---- HTTP jobs: every job argument is the address of the caller's handle ----
SVN_API int32_t SVAPI SVNetCreateEx(void** job);
SVN_API int32_t SVAPI SVNetCreate(void** job);
SVN_API int32_t SVAPI SVNetInitEx(void** job, TSVNetParams params);
SVN_API void SVAPI SVNetInit(void** job, int32_t timeout, const char* tag);
SVN_API void SVAPI SVNetInitUpload(void** job, SvBool pack, const char* tag);
SVN_API int32_t SVAPI SVNetRun(void** job);
SVN_API void SVAPI SVNetRunQuery(void** job, const char* path);
SVN_API void SVAPI SVNetRunPostQuery(void** job, const char* path, void* form);
SVN_API void SVAPI SVNetRunSizeQuery(void** job, const char* path, const char* files);
SVN_API void SVAPI SVNetRunDownload(void** job, const char* localDir, const char* path, const char* files);
SVN_API void SVAPI SVNetRunUpload(void** job, const char* localDir, const char* path, const char* fileName);
SVN_API SvBool SVAPI SVNetIsDone(void** job);
SVN_API SvBool SVAPI SVNetIsCorrect(void** job);
SVN_API int32_t SVAPI SVNetGetResultCode(void** job);
SVN_API void SVAPI SVNetGetReadStr(SvStr* out, void** job);
SVN_API int32_t SVAPI SVNetGetReadLengt(void** job);
SVN_API int32_t SVAPI SVNetGetWriteLength(void** job);
SVN_API void SVAPI SVNetGetPath(SvStr* out, void** job);
SVN_API SvBool SVAPI SVNetGetPos(void** job, int32_t* index, int32_t* position);
SVN_API int32_t SVAPI SVNetFilesCount(void** job);
SVN_API void SVAPI SVNetFilesArray(SvArray* out, void** job);
SVN_API SvBool SVAPI SVNetGetFile(void** job, int32_t index, TSVNetFileListRec* out);
SVN_API void SVAPI SVNetSetHost(void** job, const char* host);
SVN_API void SVAPI SVNetSetAutoExtr(void** job, SvBool flag);
SVN_API void SVAPI SVNetChangeSleep(void** job, uint16_t milliseconds);
SVN_API void SVAPI SVNetStop(void** job);
SVN_API void SVAPI SVNetFinalize(void** job);
SVN_API void SVAPI SVNetDestroy(void** job);

// ---- multipart forms (TSVNetParams.FormStream) ----
SVN_API void SVAPI SVNetFormCreate(void** form);
SVN_API SvBool SVAPI SVNetFormAddField(void* form, const char* name, const char* value);
SVN_API SvBool SVAPI SVNetFormAddFile(void* form, const char* fieldName, const char* filePath);
SVN_API void SVAPI SVNetFormFree(void** form);

// ---- engine, host lists, proxy, main thread ----
#ifdef _WIN32
SVN_API void SVAPI SolvikaNetStart(HWND window, uint16_t version);
#endif
SVN_API void SVAPI SolvikaNetStop(void);
SVN_API void SVAPI GetScriptHosts(SvStr* out);
SVN_API void SVAPI GetSourceHosts(SvStr* out);
SVN_API void SVAPI GetProxyParam(SvStr* server, uint16_t* port, SvStr* user, SvStr* password);
SVN_API void SVAPI SetProxyParam(const char* server, uint16_t port, const char* user, const char* password);
SVN_API void SVAPI GetRunStr(SvStr* out);
SVN_API void SVAPI GetMainScriptPath(SvStr* out);
SVN_API SvBool SVAPI isMainScriptFree(void);
SVN_API void SVAPI ActiveteMainScript(void);
#ifdef SV_BUILDING_NET
SVN_API int32_t SVAPI GetModuleVersion(void);
#endif
