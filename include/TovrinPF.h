// Exports of TovrinPF.dll: the access control. One password (kept as a
// digest), the protection status and per-module flags on items, all in the
// profile file "qzwcontrol.ini" of the Windows folder.
//
// Texts are Windows-1251, read up to their first zero byte; status and result
// codes are single bytes; out texts are new strings owned by the caller.
#pragma once
#include "sv_abi.h"

#ifdef SV_BUILDING_PF
#define SVPF_API SV_EXPORT
#else
#define SVPF_API SV_IMPORT
#endif

// Protection status and the results of a password prompt.
enum { PF_PROTECTION_ON = 1, PF_OFF_UNTIL_RESTART = 2, PF_PROTECTION_OFF = 3 };
enum { PF_GRANTED = 0, PF_WRONG_PASSWORD = 1, PF_CANCELLED = 2 };

SVPF_API void SVAPI PFRegisterModule(const char* module, const char* section);
SVPF_API void SVAPI PFUnregisterModule(const char* module, const char* section);
// With 1, 2 or 3 stores the status; with anything else returns the stored one.
SVPF_API uint8_t SVAPI PFStatus(uint8_t status);
SVPF_API uint8_t SVAPI PFExit(void);
SVPF_API uint8_t SVAPI PFEnter(const char* prompt);
// As PFEnter, whatever the status, and asking only when a password is set.
SVPF_API uint8_t SVAPI PFEnter2(const char* prompt);
SVPF_API SvBool SVAPI PFGetAccess(const char* module, const char* item);
SVPF_API SvBool SVAPI PFChPass(const char* password);
SVPF_API SvBool SVAPI PFisPassEmpty(void);
SVPF_API SvBool SVAPI PFGetCStatus(const char* section, const char* item);
SVPF_API void SVAPI PFSetCStatus(const char* section, const char* item, SvBool flag);
// The section's lines in stored form ("hex name=value"), separated by tabs.
SVPF_API void SVAPI PFGetSection(SvStr* out, const char* section);
// "section/module" and a tab for every module section.
SVPF_API void SVAPI PFGetSections(SvStr* out);
SVPF_API void SVAPI PFCryptToStr(SvStr* out, const char* stored);
SVPF_API void SVAPI PFGetCaption(SvStr* out, const char* module);
SVPF_API int32_t SVAPI PFGetParam(const char* key, int32_t def);
SVPF_API void SVAPI PFSetParam(const char* key, int32_t value);
SVPF_API int32_t SVAPI GetModuleVersion(void);
