// Exports of SolvikaUtils.dll: settings files and registry, client identity,
// string toolkit, encodings and digests, files, shell, system information and
// the debug log. All texts are Windows-1251; positions are 1-based.
#pragma once

#include "sv_abi.h"

#ifdef _WIN32
#include <objidl.h>
#include <oleauto.h>
#endif

#ifdef SV_BUILDING_UTILS
#define SVU_API SV_EXPORT
#else
#define SVU_API SV_IMPORT
#endif

// Callbacks.
typedef int32_t(SVAPI* SvCompareProc)(int32_t a, int32_t b);
typedef int32_t(SVAPI* SvEnumProc)(int32_t element, int32_t index, int32_t user);
typedef int32_t(SVAPI* SvEnum2Proc)(int32_t first, int32_t second, int32_t user);
typedef void(SVAPI* SvTagProc)(SvStr* text, int32_t user);
typedef SvBool(SVAPI* SvReadLineProc)(SvStr line, int32_t user);
#ifdef _WIN32
typedef SvBool(SVAPI* SvFindFilesProc)(WIN32_FIND_DATAA data, int32_t user);
#endif

// ---- program folders ----
SVU_API void SVAPI GetCurrDir(SvStr* out);
SVU_API void SVAPI GetSysDir(SvStr* out);
SVU_API void SVAPI GetTempDir(SvStr* out);

// ---- "Tovrin.ini" in the program folder ----
SVU_API int32_t SVAPI GetIniInt(const char* section, const char* key, int32_t def);
SVU_API void SVAPI GetIniString(SvStr* out, const char* section, const char* key, const char* def);
SVU_API void SVAPI GetIniSectNames(SvStr* out);
SVU_API void SVAPI SetIniInt(const char* section, const char* key, int32_t value);
SVU_API void SVAPI SetIniString(const char* section, const char* key, const char* value);
SVU_API void SVAPI DeleteIniValue(const char* section, const char* key);

// ---- any INI file named by a full path ----
SVU_API int32_t SVAPI GetCustomIniInt(const char* section, const char* key, const char* file, int32_t def);
SVU_API void SVAPI GetCustomIniString(SvStr* out, const char* section, const char* key, const char* file,
                                      const char* def);
SVU_API void SVAPI GetCustomIniSectNames(SvStr* out, const char* file);
SVU_API void SVAPI SetCustomIniInt(const char* section, const char* key, int32_t value, const char* file);
SVU_API int32_t SVAPI SetCustomIniString(const char* section, const char* key, const char* value, const char* file);
SVU_API int32_t SVAPI DeleteCustomIniValue(const char* section, const char* key, const char* file);

// ---- registry (root is a predefined key such as 0x80000001) ----
SVU_API void SVAPI GetRegistryString(SvStr* out, uint32_t root, const char* subKey, const char* name,
                                     const char* def);
SVU_API SvBool SVAPI SetRegistryString(uint32_t root, const char* subKey, const char* name, const char* value);
SVU_API int32_t SVAPI GetRegistryInt(uint32_t root, const char* subKey, const char* name, int32_t def);
SVU_API SvBool SVAPI SetRegistryInt(uint32_t root, const char* subKey, const char* name, int32_t value);
SVU_API SvBool SVAPI DeleteRegistryValue(uint32_t root, const char* subKey, const char* name);

// ---- client identity ----
SVU_API void SVAPI GetProgramId(SvStr* out);
SVU_API void SVAPI GetProgramNum(SvStr* out);
SVU_API void SVAPI SetProgramId(const char* id);
SVU_API void SVAPI SetProgramNum(const char* num);

// ---- search and copy ----
SVU_API int32_t SVAPI FastPos(const char* source, const char* pattern, int32_t sourceLen, int32_t patternLen,
                              int32_t start);
SVU_API int32_t SVAPI FastPosNoCase(const char* source, const char* pattern, int32_t sourceLen,
                                    int32_t patternLen, int32_t start);
SVU_API int32_t SVAPI FastPosBack(const char* source, const char* pattern, int32_t sourceLen, int32_t patternLen,
                                  int32_t start);
SVU_API int32_t SVAPI FastPosBackNoCase(const char* source, const char* pattern, int32_t sourceLen,
                                        int32_t patternLen, int32_t start);
SVU_API int32_t SVAPI FastCharPos(const char* source, char c, int32_t start);
SVU_API int32_t SVAPI FastCharPosNoCase(const char* source, char c, int32_t start);
SVU_API void SVAPI FastReplace(const char* source, const char* pattern, const char* replacement,
                               SvBool caseSensitive, SvStr* out);
SVU_API void SVAPI FastAnsiReplace(const char* source, const char* oldPattern, const char* newPattern,
                                   int32_t flags, SvStr* out);
SVU_API void SVAPI FastTagReplace(const char* source, const char* startTag, const char* endTag, SvTagProc proc,
                                  int32_t user, SvStr* out);
SVU_API void SVAPI FastCopyStr(const char* source, int32_t start, int32_t count, SvStr* out);
SVU_API void SVAPI FastLeftStr(const char* source, int32_t count, SvStr* out);
SVU_API void SVAPI FastRightStr(const char* source, int32_t count, SvStr* out);

// ---- field splitting ----
SVU_API SvBool SVAPI _ParceChar(SvStr* rest, SvStr* field, char separator);
SVU_API SvBool SVAPI _ParceTab(SvStr* rest, SvStr* field);
SVU_API SvBool SVAPI _ParceHosts(SvStr* rest, SvStr* field);

// ---- Russian text ----
SVU_API void SVAPI TranslateFilename(SvStr* out, const char* text);
SVU_API void SVAPI SVUpCase(SvStr* out, const char* text);
SVU_API int32_t SVAPI RusCompareStr(const char* first, const char* second);
#ifdef _WIN32
SVU_API void SVAPI RusToUnicode(BSTR* out, const char* text);
#endif
SVU_API SvBool SVAPI isValidEmail(const char* text);

// ---- dynamic arrays ----
SVU_API void SVAPI DynamicArrayCustomSort(SvArray array, SvCompareProc compare);
SVU_API int32_t SVAPI DynamicArrayCustomFind(SvArray array, SvCompareProc compare, int32_t key);
SVU_API int32_t SVAPI DynamicArrayCustomFindFirst(SvArray array, SvCompareProc compare, int32_t key);
SVU_API void SVAPI DynamicArrayCustomEnum(SvArray array, SvEnumProc visit, int32_t user);
SVU_API void SVAPI DynamicArrayCustomEnum2(SvArray first, SvArray second, SvEnum2Proc step, int32_t user);

// ---- digests and encodings (byte-string arguments use the header length) ----
SVU_API SvStr SVAPI MD5(SvStr text);
SVU_API SvStr SVAPI MD5String(SvStr text);
SVU_API SvStr SVAPI MD5Buffer(const void* data, int32_t count);
#ifdef _WIN32
SVU_API SvStr SVAPI MD5Stream(IStream* stream);
#endif
SVU_API SvStr SVAPI MD5File(const char* fileName);
SVU_API SvStr SVAPI EncodeBase64(SvStr bytes);
SVU_API SvStr SVAPI DecodeBase64(SvStr text);
SVU_API SvStr SVAPI UrlEncode(SvStr text);
SVU_API SvStr SVAPI UrlDecode(const char* text);  // text: read up to its first zero byte
SVU_API SvStr SVAPI Str2HTTP(SvStr bytes);
SVU_API SvStr SVAPI HTTP2Str(const char* text);   // text: read up to its first zero byte
SVU_API void SVAPI XorBlock(void* buffer, int32_t count, int32_t key);
SVU_API SvStr SVAPI XorStr(SvStr text, int32_t key);
SVU_API void SVAPI SVXAE(void* buffer, int32_t count, int32_t key);
SVU_API void SVAPI SVXAD(void* buffer, int32_t count, int32_t key);

// ---- files ----
SVU_API SvBool SVAPI SVFileExists(const char* fileName);
SVU_API SvBool SVAPI SVDirExsists(const char* path);
SVU_API SvBool SVAPI SVFileSize(const char* fileName, uint64_t* size);
SVU_API void SVAPI SVSetAttrib(const char* fileName, uint32_t attributes);
SVU_API SvBool SVAPI SVDeleteFile(const char* fileName);
SVU_API SvBool SVAPI SVCopyFile(const char* source, const char* destination);
SVU_API SvBool SVAPI SVMoveFile(const char* source, const char* destination);
#ifdef _WIN32
SVU_API SvBool SVAPI SVFindFiles(const char* pattern, SvFindFilesProc proc, int32_t user);
#endif
SVU_API SvBool SVAPI SVReadFile(const char* fileName, SvReadLineProc proc, int32_t user);

// ---- shell and browser ----
SVU_API SvBool SVAPI SVShellExe(const char* file, const char* params);
SVU_API void SVAPI SVShellWWW(const char* url);
SVU_API SvBool SVAPI SVGetWWWDefIEBrowser(void);
SVU_API void SVAPI SVSetWWWDefIEBrowser(SvBool value);
SVU_API SvBool SVAPI SVGetIEProxyParams(SvStr* host, SvStr* port);

// ---- system information ----
SVU_API void SVAPI GetWindowsVersion(SvStr* out);
SVU_API void SVAPI GetMSIEVersion(SvStr* out);
SVU_API void SVAPI GetCurrentUserName(SvStr* out);
SVU_API uint32_t SVAPI SVGetDriveSerial(const char* path);
#ifdef _WIN32
SVU_API void SVAPI SetApplParam(HWND window, uint16_t version);
SVU_API HWND SVAPI GetApplHandle(void);
#endif
SVU_API uint16_t SVAPI GetProgVersion(void);
SVU_API void SVAPI GetProgVersionStr(SvStr* out);
#ifdef SV_BUILDING_UTILS
// Every library exports its own GetModuleVersion; callers ask a library file
// for it through GetDllModuleVersion.
SVU_API int32_t SVAPI GetModuleVersion(void);
#endif
SVU_API int32_t SVAPI GetDllModuleVersion(const char* fileName);

// ---- messages and debug log ----
SVU_API void SVAPI AppShowNoNetMsg(const char* caption, const char* extra);
SVU_API void SVAPI DebugWrite(const char* text);
SVU_API void SVAPI DebugCSEnter(void);
SVU_API void SVAPI DebugCSLeave(void);
