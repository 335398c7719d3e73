// The calling interface of the zip engine: "UnzDll.dll" (entry point
// UnzDllExec: extract, test) and "ZipDll.dll" (entry point ZipDllExec: add,
// delete). Both take one parameter block and return the engine result: the
// number of archive entries the operation handled (0 or more), or one of the
// negative error codes below. Each library also exports its version number
// (GetUnzDllVersion, GetZipDllVersion). Texts are Windows-1251.
#pragma once

#include <stdint.h>

#include "sv_abi.h"

enum SvZipOperation {
  kSvZipExtract = 1,  // entries matching `spec` into `folder`, with their stored folders
  kSvZipTest = 2,     // read and check the CRC of the entries matching `spec`
  kSvZipAdd = 3,      // the files named by `spec` into the archive (created when missing)
  kSvZipDelete = 4,   // the entries matching `spec` out of the archive
};

enum SvZipError {
  kSvZipErrOpen = -1,         // the archive is missing or cannot be opened
  kSvZipErrFormat = -2,       // not a zip archive, or its directory is damaged or cut short
  kSvZipErrUnsafeName = -3,   // an entry name would leave the target folder
  kSvZipErrCrc = -4,          // entry data damaged (CRC or size mismatch, bad deflate data)
  kSvZipErrWrite = -5,        // a file or folder could not be created or written
  kSvZipErrParams = -6,       // bad parameter block
  kSvZipErrUnsupported = -7,  // encrypted entry or unknown compression method
  kSvZipErrNoFiles = -8,      // a file named (without wildcards) to add does not exist
  kSvZipErrRead = -9,         // a file to add could not be read
  kSvZipErrTooLarge = -10,    // sizes beyond the 4 GB limit of the plain zip format
  kSvZipErrException = -1000, // an unexpected failure inside the engine
};

// Masks: "*" any run of characters (also none, and across folder levels),
// "?" exactly one, every other character itself with case (as the packing
// library's own name matching does); "\" and "/" are the same. An empty
// mask, "*" and "*.*" select every entry.
typedef struct SvZipExecParams {
  uint32_t size;         // sizeof(SvZipExecParams)
  int32_t operation;     // SvZipOperation
  const char* archive;   // archive path
  const char* folder;    // extract: target folder (created when missing)
  const char* spec;      // extract/test/delete: entry mask; add: file, folder or file mask
  int32_t level;         // add: deflate level 0..9 (0 stores)
} SvZipExecParams;

#if defined(__cplusplus) && defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SvZipExecParams) == 24, "engine parameter block is 24 bytes on 32-bit Windows");
#endif

typedef int32_t(SVAPI* SvZipExecProc)(SvZipExecParams* params);
typedef int32_t(SVAPI* SvZipVersionProc)(void);

// Version reported by GetUnzDllVersion and GetZipDllVersion.
#define SV_ZIP_ENGINE_VERSION 100
