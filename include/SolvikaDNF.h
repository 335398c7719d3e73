// Exports of SolvikaDNF.dll: the component chooser. It asks the user how a
// download should go (now in front, in the background, only onto the
// download list, or not at all) before handing the job to SolvikaDNM.
#pragma once
#include <stddef.h>

#include "SolvikaNet.h"
#include "sv_abi.h"

#ifdef SV_BUILDING_DNF
#define SVDNF_API SV_EXPORT
#else
#define SVDNF_API SV_IMPORT
#endif

// One component of SVDNFCreateMultiJob; the fields mean what the arguments of
// SVDNMCreateJob mean. An After whose Size is 0 stands for "no after-request".
typedef struct TSVDNFMultiJob {
  TSVNetParams Download;
  TSVNetParams After;
  SvStr Title;
  uint8_t IType;
  SvStr IParam;
} TSVDNFMultiJob;

#ifdef __cplusplus
static_assert(sizeof(TSVNetParams) == 48, "download parameters are 48 bytes");
static_assert(offsetof(TSVDNFMultiJob, Download) == 0, "record layout");
static_assert(offsetof(TSVDNFMultiJob, After) == 48, "record layout");
static_assert(offsetof(TSVDNFMultiJob, Title) == 96, "record layout");
static_assert(offsetof(TSVDNFMultiJob, IType) == 100, "record layout");
static_assert(offsetof(TSVDNFMultiJob, IParam) == 104, "record layout");
static_assert(sizeof(TSVDNFMultiJob) == 108, "record size");
#endif

// The answers of both question dialogs.
enum { SVDNF_CANCEL = 0, SVDNF_LOAD = 1, SVDNF_LOAD_BACKGROUND = 2, SVDNF_ADD_ONLY = 3 };

// As SVDNMCreateJob, after the question; 0 when the user cancelled.
SVDNF_API uint32_t SVAPI SVDNFCreateJob(const TSVNetParams* download, const TSVNetParams* after, const char* title,
                                        uint8_t itype, const char* iparam);
// `jobs` is a dynamic array (its count at -4); the result is the code of the
// last job created, or 0.
SVDNF_API uint32_t SVAPI SVDNFCreateMultiJob(const TSVDNFMultiJob* jobs);
SVDNF_API int32_t SVAPI GetModuleVersion(void);

