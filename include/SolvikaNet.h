// Exports of SolvikaNet.dll: HTTP jobs, multipart forms, host lists, proxy
// settings and the background main thread that talks to the maker's servers.
//
// Text arguments are Windows-1251 texts read up to their first zero byte;
// out strings follow the rules of sv_abi.h (the old value is released, the
// caller owns the new one). No export lets a C++ error out: a failure gives
// the result stated for it below.
//
// HTTP jobs. A job is a record owned by the library; the caller keeps its
// handle in a variable of its own and passes the address of that variable
// ("job" below) to every job function. Order of use:
//   SVNetCreateEx -> an init (SVNetInitEx, SVNetInit, SVNetInitUpload)
//   -> optionally SVNetSetHost, SVNetSetAutoExtr -> one run function
//   -> poll SVNetIsDone (every 100 ms or from a timer) -> read the results
//   -> init again, or SVNetDestroy.
// Each run has a worker thread of its own; the caller never blocks on the
// network. While a job runs (from a successful run until SVNetIsDone is
// true) these calls serve it: SVNetIsDone, SVNetGetReadLengt,
// SVNetGetWriteLength, SVNetGetPath, SVNetGetPos, SVNetChangeSleep,
// SVNetStop and SVNetDestroy. These refuse and change nothing: the inits
// (SVNetInitEx gives SVNET_ERR_STATE), the runs, SVNetSetAutoExtr,
// SVNetFinalize; the result readers give 0, false or an empty value.
// SVNetSetHost must not be called while the job runs (the worker reads the
// host). SVNetStop may be called from any thread at any time. A job must not
// be destroyed by one thread while another thread uses it.
#pragma once

#include <stddef.h>

#include "sv_abi.h"

#ifdef SV_BUILDING_NET
#define SVNET_API SV_EXPORT
#else
#define SVNET_API SV_IMPORT
#endif

// Methods of a job (TSVNetParams.Method); the words in the debug log are
// "NONE", "GET", "POST", "HEAD", "PREV206", "POSTorGET".
enum {
  SVNET_NONE = 0,
  SVNET_GET = 1,
  SVNET_POST = 2,
  SVNET_HEAD = 3,
  SVNET_PREV206 = 4,    // HEAD asking for the byte range 1-1: status 206 when the server serves ranges
  SVNET_POSTORGET = 5,  // POST, and GET when the server answers the POST with 405
};

// Host modes (TSVNetParams.HostMode).
enum {
  SVNET_HOSTS_AUTO = 0,     // chosen at the run: source hosts for downloads, HEAD and PREV206, else script hosts
  SVNET_HOSTS_SCRIPT = 1,   // GetScriptHosts
  SVNET_HOSTS_SOURCE = 2,   // GetSourceHosts
  SVNET_HOSTS_EXPLICIT = 3  // TSVNetParams.Host only
};

// Job states.
enum { SVNET_IDLE = 0, SVNET_RUNNING = 1, SVNET_READY = 2, SVNET_SUCCEEDED = 3, SVNET_FAILED = 4 };

// Results of SVNetCreateEx, SVNetInitEx and SVNetRun.
enum {
  SVNET_OK = 0,
  SVNET_ERR_NO_MEMORY = 1,  // SVNetCreateEx: no job could be allocated (the handle is empty)
  SVNET_ERR_PARAMS = 2,     // SVNetInitEx: Size is not sizeof(TSVNetParams); SVNetRun: no method or empty Path
  SVNET_ERR_NO_JOB = 3,     // the handle variable is empty
  SVNET_ERR_STATE = 4,      // SVNetInitEx: the job runs; SVNetRun: the job is not ready
};

// Result codes of a request (SVNetGetResultCode, TSVNetFileListRec.ResultCode)
// besides the HTTP status of the reply.
enum {
  SVNET_RESULT_BAD_LENGTH = -2,   // received length differs from Content-Length + Offset, or from the file on disk
  SVNET_RESULT_LOCAL_FILE = -10,  // the local file cannot be opened or created (no request was made)
};
// Other negative result codes: no reply arrived (connection refused or lost,
// time-out, malformed reply, stopped).

// TSVNetParams.Timeout 0 means this many milliseconds.
#define SVNET_TIMEOUT_DEFAULT 200000000
// The program version given to SolvikaNetStart for jobs only, without a main thread.
#define SVNET_VERSION_JOBS_ONLY 65535

#pragma pack(push, 4)
typedef struct TSVNetParams {
  int32_t Size;  // sizeof(TSVNetParams), 48; any other value is refused
  uint8_t Method;
  uint8_t HostMode;
  SvBool AutoExtract;  // unpack a downloaded "*.zip" into LocalDir and delete it
  SvBool ZipUpload;    // pack UploadFile into a zip archive before sending it
  SvBool Resume;       // GET: continue files from TSVNetFileListRec.Offset
  SvBool ResetHost;    // forget the last host that answered, at the init
  SvStr Path;          // server path of the script, or of the folder of the files
  SvStr Host;          // tried before any list
  SvStr Files;         // file list: entries separated by "/" or tab, fields by char 6: path, host, offset
  SvStr LocalDir;      // receives downloaded files; empty: replies go to memory (SVNetGetReadStr)
  SvStr UploadFile;    // full path of a file to upload (POST, POSTorGET)
  int32_t Timeout;     // read timeout in ms; 0: SVNET_TIMEOUT_DEFAULT
  SvStr Tag;           // ends the user agent text
  void* FormStream;    // a form of SVNetFormCreate owned by the caller; null: the job makes its own
  uint16_t Pause;      // ms to pause after each received 1024-byte chunk; 0: none
  SvBool LogReply;     // write the reply of a successful in-memory request to the debug log
} TSVNetParams;
#pragma pack(pop)

typedef struct TSVNetFileListRec {
  SvStr Name;      // the remote path after its last "/", cut before the first "?"
  SvStr Path;      // the remote path as in the file list
  int32_t Offset;  // resume offset (GET with Resume only, else 0)
  SvStr Host;      // in: preferred host for this file; out: the host that served it
  int32_t ResultCode;
  int32_t Bytes;   // Offset + bytes received; HEAD and PREV206: the announced Content-Length
  SvStr ETag;
  double LastModified;  // days since 30 December 1899, fraction = time of day
} TSVNetFileListRec;

#ifdef __cplusplus
static_assert(sizeof(void*) != 4 || sizeof(TSVNetParams) == 48, "TSVNetParams is 48 bytes");
static_assert(sizeof(void*) != 4 || offsetof(TSVNetParams, Path) == 12, "TSVNetParams.Path at 12");
static_assert(sizeof(void*) != 4 || offsetof(TSVNetParams, Pause) == 44, "TSVNetParams.Pause at 44");
static_assert(sizeof(void*) != 4 || sizeof(TSVNetFileListRec) == 40, "TSVNetFileListRec is 40 bytes");
static_assert(sizeof(void*) != 4 || offsetof(TSVNetFileListRec, LastModified) == 32, "LastModified at 32");
#endif

// ---- HTTP jobs: every job argument is the address of the caller's handle ----

// A new idle job (Method NONE, HostMode AUTO, AutoExtract on) in *job.
// SVNET_OK, or SVNET_ERR_NO_MEMORY with *job empty.
SVNET_API int32_t SVAPI SVNetCreateEx(void** job);
SVNET_API int32_t SVAPI SVNetCreate(void** job);  // same as SVNetCreateEx
// Finalises the job (results of the last run are gone) and clears its
// counters and result code; then, when params.Size is right, takes a copy
// of the parameters (Timeout 0 becomes SVNET_TIMEOUT_DEFAULT; ResetHost
// forgets the last host) and makes the job ready. SVNET_OK,
// SVNET_ERR_PARAMS (wrong Size: the job stays idle), SVNET_ERR_NO_JOB,
// SVNET_ERR_STATE (the job runs: nothing changes).
SVNET_API int32_t SVAPI SVNetInitEx(void** job, TSVNetParams params);
// SVNetInitEx with the timeout and tag, the job's AutoExtract, all else empty.
// Does nothing without a job.
SVNET_API void SVAPI SVNetInit(void** job, int32_t timeout, const char* tag);
// When the job is not running: SVNetInit with timeout 0 and the tag, then
// ZipUpload = pack.
SVNET_API void SVAPI SVNetInitUpload(void** job, SvBool pack, const char* tag);
// Starts the worker of a ready job; the job is then running. SVNET_OK,
// SVNET_ERR_PARAMS (Method NONE or empty Path), SVNET_ERR_NO_JOB,
// SVNET_ERR_STATE (not ready). A worker thread that cannot be started
// leaves the job failed with SVNET_OK.
SVNET_API int32_t SVAPI SVNetRun(void** job);
// The run shortcuts do nothing unless the job is ready. Each sets the method
// (and the host mode when it is AUTO), clears LocalDir and Resume, sets the
// arguments and runs.
// POSTorGET of `path` on the script hosts; the reply goes to memory.
SVNET_API void SVAPI SVNetRunQuery(void** job, const char* path);
// POST of `form` (owned by the caller) to `path` on the script hosts.
SVNET_API void SVAPI SVNetRunPostQuery(void** job, const char* path, void* form);
// HEAD of every file of `files` below `path` on the source hosts; the sizes
// are in the file records' Bytes and SVNetGetReadLengt.
SVNET_API void SVAPI SVNetRunSizeQuery(void** job, const char* path, const char* files);
// GET of every file of `files` below `path` on the source hosts into `localDir`.
SVNET_API void SVAPI SVNetRunDownload(void** job, const char* localDir, const char* path, const char* files);
// POST of localDir + fileName (field "upf", with "stat" and "filename") to
// `path` on the script hosts; the reply goes to memory and to the debug log.
SVNET_API void SVAPI SVNetRunUpload(void** job, const char* localDir, const char* path, const char* fileName);
// True when there is no job, no worker, or the worker has ended.
SVNET_API SvBool SVAPI SVNetIsDone(void** job);
// True when the job is done and every file of its run succeeded.
SVNET_API SvBool SVAPI SVNetIsCorrect(void** job);
// The result code of the last request (HTTP status, SVNET_RESULT_* or another
// negative code); 0 while the job runs or without a job.
SVNET_API int32_t SVAPI SVNetGetResultCode(void** job);
// The reply of the last in-memory request when the job is correct, else empty.
SVNET_API void SVAPI SVNetGetReadStr(SvStr* out, void** job);
// Bytes received (sent) by this run so far, also while it runs; 0 without a job.
SVNET_API int32_t SVAPI SVNetGetReadLengt(void** job);
SVNET_API int32_t SVAPI SVNetGetWriteLength(void** job);
// "http://" + the host that last answered + "/"; empty before any answer.
SVNET_API void SVAPI SVNetGetPath(SvStr* out, void** job);
// While the job runs: the index of the file being fetched and the position
// in it (its Offset + bytes received), true. Else both 0 and false.
SVNET_API SvBool SVAPI SVNetGetPos(void** job, int32_t* index, int32_t* position);
// The file records of a correct job (else 0 / an empty array / false).
SVNET_API int32_t SVAPI SVNetFilesCount(void** job);
SVNET_API void SVAPI SVNetFilesArray(SvArray* out, void** job);  // shared with the job: do not change it
// Copies record `index`; its strings are new references the caller releases.
SVNET_API SvBool SVAPI SVNetGetFile(void** job, int32_t index, TSVNetFileListRec* out);
// Host = host, HostMode EXPLICIT (AUTO for an empty host); not while the job runs.
SVNET_API void SVAPI SVNetSetHost(void** job, const char* host);
// AutoExtract = flag, when the job is not running.
SVNET_API void SVAPI SVNetSetAutoExtr(void** job, SvBool flag);
// The speed brake (TSVNetParams.Pause), also for a running job from its next chunk.
SVNET_API void SVAPI SVNetChangeSleep(void** job, uint16_t milliseconds);
// Ends a running worker (disconnects it, kills it after 10 s), then finalises.
SVNET_API void SVAPI SVNetStop(void** job);
// When the job is not running: frees the run's results and a partial local
// file of a killed worker; the job becomes idle. Parameters and last host stay.
SVNET_API void SVAPI SVNetFinalize(void** job);
// SVNetStop, then frees the job and empties the caller's handle variable.
SVNET_API void SVAPI SVNetDestroy(void** job);

// ---- multipart forms (TSVNetParams.FormStream) ----
SVNET_API void SVAPI SVNetFormCreate(void** form);  // null on failure
// False without a form. A file is read when it is added: false when it
// cannot be read (the form is then unchanged), and it may be deleted after.
SVNET_API SvBool SVAPI SVNetFormAddField(void* form, const char* name, const char* value);
SVNET_API SvBool SVAPI SVNetFormAddFile(void* form, const char* fieldName, const char* filePath);
SVNET_API void SVAPI SVNetFormFree(void** form);  // also empties the caller's variable

// ---- engine, host lists, proxy, main thread ----
#ifdef _WIN32
// Starts the engine: the command-line host switches ("-tnnetlocalhost",
// "-tnnetdefaulthost:<hosts>"), TovrinNet.cfg, and unless `version` is
// SVNET_VERSION_JOBS_ONLY the main thread, which asks the server about once
// an hour and may offer an update in a message box owned by `window`.
// Returns once every export is safe to call from any thread. Does nothing
// when a main thread has been started before in this process.
SVNET_API void SVAPI SolvikaNetStart(HWND window, uint16_t version);
#endif
// Stops the main thread (killing it after 5 s) and saves TovrinNet.cfg.
// Any thread.
SVNET_API void SVAPI SolvikaNetStop(void);
// The "/"-separated hosts that jobs try, in order: a command-line override
// alone, else the hosts the server stored followed by the built-in ones.
SVNET_API void SVAPI GetScriptHosts(SvStr* out);
SVNET_API void SVAPI GetSourceHosts(SvStr* out);
// The proxy settings of TovrinNet.cfg; an empty server means a direct connection.
SVNET_API void SVAPI GetProxyParam(SvStr* server, uint16_t* port, SvStr* user, SvStr* password);
// Stores them (each text cut to 50 characters) and writes TovrinNet.cfg at once.
SVNET_API void SVAPI SetProxyParam(const char* server, uint16_t port, const char* user, const char* password);
// "&configvers=" + ConfigVers + "&comvers=" + ComVers (section "Solvika" of Tovrin.ini).
SVNET_API void SVAPI GetRunStr(SvStr* out);
// "http://" + the host that last answered the main thread + "/"; empty before.
SVNET_API void SVAPI GetMainScriptPath(SvStr* out);
// True while the main thread waits between its queries.
SVNET_API SvBool SVAPI isMainScriptFree(void);
// Ends the main thread's current wait: its next query starts at once.
SVNET_API void SVAPI ActiveteMainScript(void);
#ifdef SV_BUILDING_NET
SVNET_API int32_t SVAPI GetModuleVersion(void);  // 13
#endif
