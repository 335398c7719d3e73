// Waiting until one of several sockets has data (or an error), with a
// time-out in milliseconds.
#include <winsock.h>

#include "TovrinTcpIO.h"

TCPIO_API SvBool SVAPI WaitForData(int32_t timeoutMs, int32_t* countOrSocket, const SvSocket* sockets) {
  if (!countOrSocket) return 0;
  const int32_t count = *countOrSocket;
  if (count > 0 && !sockets) return 0;

  // Each set holds at most FD_SETSIZE (64) sockets; later ones are not added.
  fd_set readable, failed;
  FD_ZERO(&readable);
  FD_ZERO(&failed);
  for (int32_t i = 0; i < count; ++i) {
    FD_SET((SOCKET)sockets[i], &readable);
    FD_SET((SOCKET)sockets[i], &failed);
  }
  timeval tv;
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  int n = select(0, &readable, nullptr, &failed, &tv);
  if (n == SOCKET_ERROR) return 0;
  if (n == 0) {
    *countOrSocket = -1;
    return 1;
  }
  for (int32_t i = 0; i < count; ++i)
    if (FD_ISSET((SOCKET)sockets[i], &failed)) return 0;
  for (int32_t i = 0; i < count; ++i) {
    if (FD_ISSET((SOCKET)sockets[i], &readable)) {
      *countOrSocket = (int32_t)sockets[i];
      return 1;
    }
  }
  return 0;
}
