#include "net_test_support.h"

#include <winsock2.h>

#include <fstream>

#include "wide.h"

namespace nettest {

std::string Env(const char* name) {
  char buf[1024];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string ServerHost() {
  std::string port = Env("SV_NET_PORT");
  return port.empty() ? std::string() : "127.0.0.1:" + port;
}

std::string ServerPath(const std::string& rel) {
  std::string p = Env("SV_NET_ROOT_WIN") + rel;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

void PutServerFile(const std::string& rel, const std::string& bytes) {
  std::string path = ServerPath(rel);
  // Create the folders on the way.
  for (size_t i = 3; i < path.size(); ++i)
    if (path[i] == '\\') CreateDirectoryW(sv::Wide(path.substr(0, i)).c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(path, bytes)) << path;
}

std::vector<std::string> Requests(const std::string& site) {
  std::string all = ReadFileBytes(ServerPath((site.empty() ? "" : site + "/") + "_log/requests.jsonl"));
  std::vector<std::string> out;
  size_t start = 0;
  while (start < all.size()) {
    size_t nl = all.find('\n', start);
    if (nl == std::string::npos) nl = all.size();
    if (nl > start) out.push_back(all.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

std::vector<std::string> RequestsFor(const std::string& part, const std::string& site) {
  std::vector<std::string> out;
  for (auto& r : Requests(site))
    if (r.find(part) != std::string::npos) out.push_back(r);
  return out;
}

std::string Pattern(size_t size, unsigned seed) {
  std::string s(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    s[i] = (char)(x >> 16);
  }
  return s;
}

std::string DeadHost() {
  // A port that was just free: bound, closed, and so refusing connections.
  WSADATA d;
  WSAStartup(MAKEWORD(2, 2), &d);
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, (sockaddr*)&a, sizeof a);
  int len = sizeof a;
  getsockname(s, (sockaddr*)&a, &len);
  closesocket(s);
  return "127.0.0.1:" + std::to_string(ntohs(a.sin_port));
}

bool JobHandle::Wait(DWORD ms) {
  DWORD start = GetTickCount();
  while (!SVNetIsDone(&h_)) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

TSVNetParams Params(int method, const char* path) {
  TSVNetParams p = {};
  p.Size = sizeof(TSVNetParams);
  p.Method = (uint8_t)method;
  p.AutoExtract = 1;
  p.Path = (SvStr)path;  // copied by SVNetInitEx
  return p;
}

}  // namespace nettest

#include <map>

#include "http/http_client.h"

namespace nettest {

static std::string Listener(const std::string& query) {
  static std::map<std::string, std::string> known;
  auto it = known.find(query);
  if (it != known.end()) return it->second;
  svnet::HttpClient client;
  svnet::HttpRequest req;
  req.url = "http://" + ServerHost() + "/_ctl/listen?" + query;
  svnet::StringSink sink;
  svnet::HttpResponse r;
  if (client.Execute(req, &sink, &r) != 200) return std::string();
  return known[query] = "127.0.0.1:" + sink.text;
}

std::string FaultHost(const std::string& faults) { return Listener("faults=" + faults); }

std::string SiteHost(const std::string& site) { return Listener("root=" + site); }

}  // namespace nettest
