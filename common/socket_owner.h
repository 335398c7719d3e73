// A move-only owner of a Windows Sockets socket, closed with closesocket. The
// includer brings in the sockets header it builds on (<winsock.h> for
// Windows Sockets 1.1, <winsock2.h> otherwise) before this one.
#pragma once

#if !defined(_WINSOCKAPI_) && !defined(_WINSOCK2API_)
#error "include <winsock.h> or <winsock2.h> before socket_owner.h"
#endif

#include "win_handles.h"

namespace sv {

struct SocketTraits {
  using Type = SOCKET;
  static Type None() { return INVALID_SOCKET; }
  static bool Valid(Type s) { return s != INVALID_SOCKET; }
  static void Free(Type s) { closesocket(s); }
};

using Socket = UniqueResource<SocketTraits>;

}  // namespace sv
