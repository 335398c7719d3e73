// Creating, connecting, accepting, sending, receiving and closing sockets.
#include <winsock.h>

#include <cstdio>
#include <utility>

#include "TovrinTcpIO.h"
#include "socket_owner.h"

static_assert(sizeof(SOCKET) == sizeof(SvSocket), "sockets cross the interface as 32-bit values");

namespace {

// Connections the system queues for a server before AcceptClient takes them.
const int kListenBacklog = 5;
// shutdown(): no more sending and no more receiving (SD_BOTH of Winsock 2).
const int kShutdownBoth = 2;

// A stream socket bound to all local addresses at `port` (0: any port), or
// INVALID_SOCKET.
sv::Socket BoundSocket(uint16_t port) {
  sv::Socket s(socket(AF_INET, SOCK_STREAM, 0));
  if (!s) return s;
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  a.sin_port = htons(port);
  if (bind(s.Get(), (sockaddr*)&a, sizeof a) == SOCKET_ERROR) s.Reset();
  return s;
}

// The host as a dotted address or, failing that, the first address of a name
// lookup, written out as dotted text and parsed again. INADDR_NONE on failure.
unsigned long Resolve(const char* host) {
  unsigned long addr = inet_addr(host);
  if (addr != INADDR_NONE) return addr;
  hostent* he = gethostbyname(host);
  if (!he || he->h_addrtype != AF_INET || he->h_length != 4 || !he->h_addr_list || !he->h_addr_list[0])
    return INADDR_NONE;
  const unsigned char* b = (const unsigned char*)he->h_addr_list[0];
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  return inet_addr(text);
}

// Hands the socket to the caller, who closes it with CloseSock; without an
// out pointer nobody could, so it is closed here. True for a valid socket.
bool Put(SvSocket* out, sv::Socket s) {
  const bool valid = s.Valid();
  if (out) *out = (SvSocket)s.Release();
  return valid;
}

}  // namespace

TCPIO_API SvBool SVAPI CreateServer(SvSocket* sock, uint16_t port) {
  sv::Socket s = BoundSocket(port);
  if (s && listen(s.Get(), kListenBacklog) == SOCKET_ERROR) s.Reset();
  return Put(sock, std::move(s));
}

TCPIO_API SvBool SVAPI CreateClient(SvSocket* sock, const char* host, uint16_t port) {
  sv::Socket s = BoundSocket(0);
  if (s) {
    unsigned long addr = host ? Resolve(host) : INADDR_NONE;
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = addr;
    a.sin_port = htons(port);
    if (addr == INADDR_NONE || connect(s.Get(), (sockaddr*)&a, sizeof a) == SOCKET_ERROR) s.Reset();
  }
  return Put(sock, std::move(s));
}

TCPIO_API SvBool SVAPI AcceptClient(SvSocket listener, SvSocket* client, const char** peerAddress,
                                    uint16_t* peerPort) {
  sockaddr_in a = {};
  int len = sizeof a;
  if (!Put(client, sv::Socket(accept((SOCKET)listener, (sockaddr*)&a, &len)))) return 0;
  if (peerAddress) *peerAddress = inet_ntoa(a.sin_addr);
  if (peerPort) *peerPort = ntohs(a.sin_port);
  return 1;
}

TCPIO_API SvBool SVAPI SendData(SvSocket sock, const void* buffer, int32_t* length) {
  if (!length) return 0;
  int sent = send((SOCKET)sock, (const char*)buffer, *length, 0);
  *length = sent;
  return sent != SOCKET_ERROR;
}

TCPIO_API SvBool SVAPI ReceiveData(SvSocket sock, void* buffer, int32_t* length, SvBool peek) {
  if (!length) return 0;
  int got = recv((SOCKET)sock, (char*)buffer, *length, peek ? MSG_PEEK : 0);
  *length = got;
  return got != SOCKET_ERROR && got != 0;
}

TCPIO_API SvBool SVAPI SetBlockMode(SvSocket sock, SvBool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket((SOCKET)sock, FIONBIO, &nonBlocking) != SOCKET_ERROR;
}

TCPIO_API SvBool SVAPI CloseSock(SvSocket sock) {
  bool down = shutdown((SOCKET)sock, kShutdownBoth) != SOCKET_ERROR;
  bool closed = closesocket((SOCKET)sock) != SOCKET_ERROR;
  return down && closed;
}

TCPIO_API SvBool SVAPI GetLocalAddr(SvSocket sock, const char** address, uint16_t* port) {
  sockaddr_in a = {};
  int len = sizeof a;
  if (getsockname((SOCKET)sock, (sockaddr*)&a, &len) == SOCKET_ERROR) return 0;
  if (address) *address = inet_ntoa(a.sin_addr);
  if (port) *port = ntohs(a.sin_port);
  return 1;
}

TCPIO_API int32_t SVAPI GetModuleVersion(void) { return 2; }
