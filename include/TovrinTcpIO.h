// Exports of TovrinTcpIO.dll: plain IPv4 TCP sockets over Windows Sockets 1.1
// for plugins. Sockets are the platform's socket handles as 32-bit values; the
// invalid socket is 0xFFFFFFFF (-1). Ports are in host byte order. Address
// texts point into the platform's per-thread conversion buffer and stay valid
// only until the next conversion on the same thread.
#pragma once

#include "sv_abi.h"

#ifdef SV_BUILDING_TCPIO
#define TCPIO_API SV_EXPORT
#else
#define TCPIO_API SV_IMPORT
#endif

typedef uint32_t SvSocket;
#define SV_INVALID_SOCKET ((SvSocket)0xFFFFFFFFu)

TCPIO_API SvBool SVAPI CreateServer(SvSocket* sock, uint16_t port);
TCPIO_API SvBool SVAPI CreateClient(SvSocket* sock, const char* host, uint16_t port);
TCPIO_API SvBool SVAPI AcceptClient(SvSocket listener, SvSocket* client, const char** peerAddress,
                                    uint16_t* peerPort);
TCPIO_API SvBool SVAPI SendData(SvSocket sock, const void* buffer, int32_t* length);
TCPIO_API SvBool SVAPI ReceiveData(SvSocket sock, void* buffer, int32_t* length, SvBool peek);
// countOrSocket: in, how many sockets of `sockets` to watch; out, the first
// readable one, or -1 when the time-out passed.
TCPIO_API SvBool SVAPI WaitForData(int32_t timeoutMs, int32_t* countOrSocket, const SvSocket* sockets);
TCPIO_API SvBool SVAPI SetBlockMode(SvSocket sock, SvBool blocking);
TCPIO_API SvBool SVAPI CloseSock(SvSocket sock);
TCPIO_API SvBool SVAPI GetLocalAddr(SvSocket sock, const char** address, uint16_t* port);
#ifdef SV_BUILDING_TCPIO
TCPIO_API int32_t SVAPI GetModuleVersion(void);
#endif
