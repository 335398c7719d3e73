// Exports of SolvikaDNM.dll: the download manager. A persistent queue of
// download jobs kept in "SVData\SVDNM\" of the program folder, driven by a
// manager thread of its own (one tick every 250 ms), with an installation
// thread that moves, unpacks or packs the finished files.
//
// Text arguments are Windows-1251 texts read up to their first zero byte.
#pragma once
#include "SolvikaNet.h"
#include "sv_abi.h"

#ifdef SV_BUILDING_DNM
#define SVDNM_API SV_EXPORT
#else
#define SVDNM_API SV_IMPORT
#endif

// Job statuses.
enum {
  SVDNM_NEW = 0,             // waits for the information query
  SVDNM_QUERYING = 1,
  SVDNM_QUERY_FAILED = 2,
  SVDNM_READY = 3,           // ready to transfer
  SVDNM_TRANSFERRING = 4,
  SVDNM_PAUSED = 5,
  SVDNM_TRANSFERRED = 6,     // waits for installation
  SVDNM_INSTALLING = 7,
  SVDNM_INSTALL_FAILED = 8,
  SVDNM_INSTALLED = 9,
  SVDNM_TRANSFER_FAILED = 10,
  SVDNM_NOT_FOUND = 11,      // not found, not available or changed on the server
  SVDNM_DELETED = 12,        // removed with its files at the next tick
};

// SVDNMSetParams kinds.
enum {
  SVDNM_SET_ENABLED = 0,     // value 1 also re-queues failed jobs
  SVDNM_SET_THREADS = 1,
  SVDNM_SET_SLEEP = 2,
  SVDNM_SET_DELETE = 3,      // value: job code
  SVDNM_SET_EARLIER = 4,     // value: job code
  SVDNM_SET_LATER = 5,       // value: job code
  SVDNM_SET_DELETE_STATUS = 6,  // value: status
};

// SVDNMGetParams kinds.
enum { SVDNM_GET_ENABLED = 0, SVDNM_GET_THREADS = 1, SVDNM_GET_SLEEP = 2, SVDNM_GET_WAITING = 3 };

// Posted to the application's main window (class TSolvikaMainForm).
#define SVDNM_WM_SHELL_COMMAND 0x0401

SVDNM_API void SVAPI SolvikaDNMStart(void);
SVDNM_API void SVAPI SolvikaDNMStop(void);
// Result: the new job's code; 0 when the arguments are refused; -1 (0xFFFFFFFF)
// when they were accepted but the job could not be created.
SVDNM_API uint32_t SVAPI SVDNMCreateJob(const TSVNetParams* download, const TSVNetParams* after, const char* title,
                                        uint8_t itype, const char* iparam);
SVDNM_API SvBool SVAPI SVDNMCreateDownload(const char* url, const char* targetFolder);
SVDNM_API void SVAPI SVDNMSetParams(uint8_t kind, int32_t value);
SVDNM_API int32_t SVAPI SVDNMGetParams(uint8_t kind);
// One line per job, last job first: code, title, status, total length,
// bytes done, speed, separated by tabs, each line ended by a line feed.
SVDNM_API void SVAPI SVDNMImportJobsList(SvStr* out);
SVDNM_API void SVAPI SVDNMGetErrorString(SvStr* out);
// 0 no job has this key; 1 one is pending or active; 2 all are finished or failed for good.
enum { SVDNM_KEY_NONE = 0, SVDNM_KEY_PENDING = 1, SVDNM_KEY_DONE = 2 };
SVDNM_API int32_t SVAPI SVDNMGetStatusByIParam(const char* key);
SVDNM_API void SVAPI SVDNMGetJobNameByBaseCode(SvStr* out, uint32_t code);
#ifdef SV_BUILDING_DNM
SVDNM_API int32_t SVAPI GetModuleVersion(void);
#endif
