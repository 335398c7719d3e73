// TovrinTcpIO as a plugin uses it: a server and a client in one process over
// 127.0.0.1.
#include <gtest/gtest.h>
#include <winsock.h>

#include <string>

#include "TovrinTcpIO.h"
#include "socket_owner.h"

namespace {

// A listening socket on a free port, closed at the end of the test.
struct Server {
  SvSocket sock = SV_INVALID_SOCKET;
  uint16_t port = 0;
  Server() {
    EXPECT_TRUE(CreateServer(&sock, 0));
    const char* addr = nullptr;
    EXPECT_TRUE(GetLocalAddr(sock, &addr, &port));
    EXPECT_STREQ("0.0.0.0", addr);
    EXPECT_NE(0, port);
  }
  ~Server() { CloseSock(sock); }
};

// A connected pair: client side and the accepted server side.
struct Pair {
  Server server;
  SvSocket client = SV_INVALID_SOCKET, accepted = SV_INVALID_SOCKET;
  std::string peer;
  uint16_t peerPort = 0;
  Pair() {
    EXPECT_TRUE(CreateClient(&client, "127.0.0.1", server.port));
    const char* addr = nullptr;
    EXPECT_TRUE(AcceptClient(server.sock, &accepted, &addr, &peerPort));
    peer = addr ? addr : "";
  }
  ~Pair() {
    if (client != SV_INVALID_SOCKET) CloseSock(client);
    if (accepted != SV_INVALID_SOCKET) CloseSock(accepted);
  }
};

DWORD WINAPI SendLater(LPVOID s) {
  Sleep(200);
  int32_t len = 1;
  SendData((SvSocket)(uintptr_t)s, "z", &len);
  return 0;
}

bool Send(SvSocket s, const std::string& text) {
  int32_t len = (int32_t)text.size();
  return SendData(s, text.data(), &len) && len == (int32_t)text.size();
}

}  // namespace

TEST(TcpIO, ModuleVersionIsTwo) {
  HMODULE m = GetModuleHandleA("TovrinTcpIO.dll");
  ASSERT_NE(nullptr, m);
  auto version = (int32_t(WINAPI*)())GetProcAddress(m, "GetModuleVersion");
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(2, version());
}

TEST(TcpIO, ClientAndServerExchangeDataBothWays) {
  Pair p;
  EXPECT_EQ("127.0.0.1", p.peer);
  const char* local = nullptr;
  uint16_t localPort = 0;
  ASSERT_TRUE(GetLocalAddr(p.client, &local, &localPort));
  EXPECT_EQ(localPort, p.peerPort);  // the accepted peer is our client

  ASSERT_TRUE(Send(p.client, "hello"));
  char buf[64] = {};
  int32_t len = 3;  // peeking leaves the data in place
  ASSERT_TRUE(ReceiveData(p.accepted, buf, &len, 1));
  EXPECT_EQ(3, len);
  EXPECT_EQ("hel", std::string(buf, 3));
  len = sizeof buf;
  ASSERT_TRUE(ReceiveData(p.accepted, buf, &len, 0));
  EXPECT_EQ("hello", std::string(buf, (size_t)len));

  ASSERT_TRUE(Send(p.accepted, "\xCF\xF0\xE8\xE2\xE5\xF2"));
  len = sizeof buf;
  ASSERT_TRUE(ReceiveData(p.client, buf, &len, 0));
  EXPECT_EQ("\xCF\xF0\xE8\xE2\xE5\xF2", std::string(buf, (size_t)len));
}

TEST(TcpIO, ClientResolvesAHostName) {
  Server server;
  SvSocket client = SV_INVALID_SOCKET, accepted = SV_INVALID_SOCKET;
  ASSERT_TRUE(CreateClient(&client, "localhost", server.port));
  const char* addr = nullptr;
  uint16_t port = 0;
  ASSERT_TRUE(AcceptClient(server.sock, &accepted, &addr, &port));
  EXPECT_STREQ("127.0.0.1", addr);
  CloseSock(client);
  CloseSock(accepted);
}

TEST(TcpIO, PeerThatClosesGivesFalseWithLengthZero) {
  Pair p;
  ASSERT_TRUE(Send(p.client, "x"));
  EXPECT_TRUE(CloseSock(p.client));
  p.client = SV_INVALID_SOCKET;
  char buf[16];
  int32_t len = sizeof buf;
  ASSERT_TRUE(ReceiveData(p.accepted, buf, &len, 0));  // what was sent before the close
  EXPECT_EQ(1, len);
  len = sizeof buf;
  EXPECT_FALSE(ReceiveData(p.accepted, buf, &len, 0));
  EXPECT_EQ(0, len);
}

TEST(TcpIO, NonBlockingReceiveOnEmptySocketFailsAtOnce) {
  Pair p;
  ASSERT_TRUE(SetBlockMode(p.accepted, 0));
  char buf[16];
  int32_t len = sizeof buf;
  DWORD start = GetTickCount();
  EXPECT_FALSE(ReceiveData(p.accepted, buf, &len, 0));
  EXPECT_EQ(-1, len);
  EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
  EXPECT_LT(GetTickCount() - start, 500u);

  // Back in blocking mode the data that arrives is read normally.
  ASSERT_TRUE(SetBlockMode(p.accepted, 1));
  ASSERT_TRUE(Send(p.client, "ok"));
  len = sizeof buf;
  EXPECT_TRUE(ReceiveData(p.accepted, buf, &len, 0));
  EXPECT_EQ(2, len);
}

TEST(TcpIO, PortAlreadyInUseIsRefused) {
  Server first;
  SvSocket second = 0;
  EXPECT_FALSE(CreateServer(&second, first.port));
  EXPECT_EQ(SV_INVALID_SOCKET, second);
}

TEST(TcpIO, ConnectFailuresCloseTheSocket) {
  // A socket bound but not listening holds the port for the whole test, so no
  // other test's server can take it and the connection is refused for sure.
  sv::Socket holder(socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(0, bind(holder.Get(), (sockaddr*)&addr, sizeof addr));
  int addrLen = sizeof addr;
  getsockname(holder.Get(), (sockaddr*)&addr, &addrLen);
  uint16_t freePort = ntohs(addr.sin_port);
  SvSocket sock = 0;
  EXPECT_FALSE(CreateClient(&sock, "127.0.0.1", freePort));
  EXPECT_EQ(SV_INVALID_SOCKET, sock);
  EXPECT_FALSE(CreateClient(&sock, "999.1.1.1", freePort));
  EXPECT_EQ(SV_INVALID_SOCKET, sock);
}

TEST(TcpIO, WaitForDataNamesTheFirstReadableSocketInArrayOrder) {
  Pair a, b, c;
  SvSocket list[3] = {a.accepted, b.accepted, c.accepted};

  // Data on the third and then the second: the second comes first in the array.
  ASSERT_TRUE(Send(c.client, "3"));
  ASSERT_TRUE(Send(b.client, "2"));
  Sleep(100);
  int32_t arg = 3;
  ASSERT_TRUE(WaitForData(1000, &arg, list));
  EXPECT_EQ((int32_t)b.accepted, arg);

  // With the second read empty again, a count of 2 leaves the third (which
  // still has data) unwatched, so the wait times out; a count of 3 finds it.
  char buf[8];
  int32_t len = sizeof buf;
  ASSERT_TRUE(ReceiveData(b.accepted, buf, &len, 0));
  arg = 2;
  ASSERT_TRUE(WaitForData(200, &arg, list));
  EXPECT_EQ(-1, arg);
  arg = 3;
  ASSERT_TRUE(WaitForData(200, &arg, list));
  EXPECT_EQ((int32_t)c.accepted, arg);

  // A peer that closes makes its socket readable too.
  a.client = (CloseSock(a.client), SV_INVALID_SOCKET);
  arg = 1;
  ASSERT_TRUE(WaitForData(1000, &arg, list));
  EXPECT_EQ((int32_t)a.accepted, arg);
}

TEST(TcpIO, WaitForDataTimesOutAfterSecondsAndMilliseconds) {
  Pair p;
  SvSocket list[1] = {p.accepted};
  int32_t arg = 1;
  DWORD start = GetTickCount();
  ASSERT_TRUE(WaitForData(1500, &arg, list));
  DWORD took = GetTickCount() - start;
  EXPECT_EQ(-1, arg);
  EXPECT_GE(took, 1400u);
  EXPECT_LT(took, 3000u);

  // Data that arrives during the wait ends it early.
  arg = 1;
  sv::Thread t = sv::Thread::Start(SendLater, (LPVOID)(uintptr_t)p.client);
  start = GetTickCount();
  ASSERT_TRUE(WaitForData(5000, &arg, list));
  EXPECT_EQ((int32_t)p.accepted, arg);
  EXPECT_LT(GetTickCount() - start, 3000u);
  t.Wait(INFINITE);
}

TEST(TcpIO, FailuresOfClosedSockets) {
  Pair p;
  SvSocket dead = p.accepted;
  EXPECT_TRUE(CloseSock(dead));
  p.accepted = SV_INVALID_SOCKET;
  EXPECT_FALSE(CloseSock(dead));
  int32_t len = 4;
  EXPECT_FALSE(SendData(dead, "abcd", &len));
  EXPECT_EQ(-1, len);
  const char* addr = nullptr;
  uint16_t port = 0;
  EXPECT_FALSE(GetLocalAddr(dead, &addr, &port));
  EXPECT_FALSE(SetBlockMode(dead, 0));
  SvSocket list[1] = {dead};
  int32_t arg = 1;
  EXPECT_FALSE(WaitForData(100, &arg, list));
}
