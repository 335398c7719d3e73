#include "http_client.h"

#include <ws2tcpip.h>

#include <cstring>

#include "SolvikaNet.h"

namespace svnet {

namespace {

constexpr size_t kMaxHead = 64 * 1024;  // a longer reply head is refused
constexpr size_t kMaxLine = 4096;       // chunk-size and trailer lines
constexpr size_t kDefaultBlock = 64 * 1024;
constexpr size_t kLineFill = 1024;          // bytes asked per receive while reading a line
constexpr int kReceiveBuffer = 1 << 20;     // room for fast transfers between two reads
constexpr uint16_t kHttpPort = 80;
constexpr uint16_t kDefaultProxyPort = 8080;
constexpr int kHttpContinue = 100;
constexpr int kHttpOk = 200;
constexpr int kHttpNoContent = 204;
constexpr int kHttpNotModified = 304;
constexpr int64_t kUntilClose = -1;
constexpr std::string_view kScheme = "http://";
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool EndsWithNoCase(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && EqualsNoCase(std::string_view(s).substr(s.size() - n), tail);
}

bool HasToken(const std::string* value, const char* token) {
  if (!value) return false;
  std::string v = *value;
  for (char& c : v) c = (char)tolower((unsigned char)c);
  return v.find(token) != std::string::npos;
}

int SocketError() {
  int e = WSAGetLastError();
  return e == WSAETIMEDOUT ? kTimedOut : kConnectionLost;
}

}  // namespace

std::string Base64(const std::string& bytes) {
  const char* abc = kBase64Alphabet;
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = ((unsigned char)bytes[i] << 16) | ((unsigned char)bytes[i + 1] << 8) | (unsigned char)bytes[i + 2];
    out += abc[v >> 18];
    out += abc[(v >> 12) & 63];
    out += abc[(v >> 6) & 63];
    out += abc[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = (unsigned char)bytes[i] << 16;
    if (i + 1 < bytes.size()) v |= (unsigned char)bytes[i + 1] << 8;
    out += abc[v >> 18];
    out += abc[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? abc[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool SplitUrl(const std::string& url, std::string* host, uint16_t* port, std::string* path) {
  std::string rest = url;
  if (rest.size() >= kScheme.size() && EqualsNoCase(std::string_view(rest).substr(0, kScheme.size()), kScheme))
    rest = rest.substr(kScheme.size());
  size_t slash = rest.find('/');
  std::string hostPort = rest.substr(0, slash);
  *path = slash == std::string::npos ? "/" : rest.substr(slash);
  size_t colon = hostPort.rfind(':');
  *port = kHttpPort;
  if (colon != std::string::npos) {
    std::string p = hostPort.substr(colon + 1);
    unsigned long v = 0;
    if (p.empty() || p.size() > 5) return false;
    for (char c : p) {
      if (c < '0' || c > '9') return false;
      v = v * 10 + (unsigned long)(c - '0');
    }
    if (v == 0 || v > 65535) return false;
    *port = (uint16_t)v;
    hostPort.resize(colon);
  }
  *host = hostPort;
  return !host->empty();
}

HttpClient::HttpClient() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

HttpClient::~HttpClient() {
  CloseSocket();
  WSACleanup();
}

size_t HttpClient::Block() const {
  size_t b = blockSize ? blockSize() : kDefaultBlock;
  return b == 0 ? kDefaultBlock : b;
}

void HttpClient::Disconnect() {
  sv::Lock hold(lock_);
  InterlockedExchange(&stopped_, 1);
  if (socket_ != INVALID_SOCKET) {
    shutdown(socket_, SD_BOTH);
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
}

void HttpClient::CloseSocket() {
  sv::Lock hold(lock_);
  if (socket_ != INVALID_SOCKET) {
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  connectedTo_.clear();
  begin_ = end_ = 0;
}

bool HttpClient::Connect(const std::string& host, uint16_t port, int* error) {
  *error = kConnectFailed;
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = inet_addr(host.c_str());
  if (addr.sin_addr.s_addr == INADDR_NONE) {
    // Names in the reserved ".invalid" domain never resolve; no lookup is made.
    if (EndsWithNoCase(host, ".invalid") || EqualsNoCase(host, "invalid")) return false;
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    addr.sin_addr = ((sockaddr_in*)found->ai_addr)->sin_addr;
    freeaddrinfo(found);
  }
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  {
    sv::Lock hold(lock_);
    if (stopped_) {
      closesocket(s);
      *error = kStopped;
      return false;
    }
    socket_ = s;
  }
  DWORD timeout = (DWORD)(timeoutMs > 0 ? timeoutMs : SVNET_TIMEOUT_DEFAULT);
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&timeout, sizeof timeout);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, (const char*)&timeout, sizeof timeout);
  int receiveBuffer = kReceiveBuffer;
  setsockopt(s, SOL_SOCKET, SO_RCVBUF, (const char*)&receiveBuffer, sizeof receiveBuffer);
  BOOL noDelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, (const char*)&noDelay, sizeof noDelay);
  if (connect(s, (sockaddr*)&addr, sizeof addr) == SOCKET_ERROR) {
    if (stopped_) *error = kStopped;
    CloseSocket();
    return false;
  }
  return true;
}

int HttpClient::SendAll(SOCKET s, const char* data, size_t size, bool reportProgress) {
  size_t sent = 0;
  while (sent < size) {
    size_t n = size - sent;
    if (reportProgress && n > Block()) n = Block();
    int r = send(s, data + sent, (int)n, 0);
    if (r <= 0) return stopped_ ? kStopped : SocketError();
    sent += (size_t)r;
    if (reportProgress && progress) progress(true, (int64_t)sent);
  }
  return 0;
}

int HttpClient::Fill(SOCKET s, size_t want) {
  if (begin_ == end_) begin_ = end_ = 0;
  if (end_ + want > buf_.size()) {
    if (begin_ > 0) {
      std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    if (end_ + want > buf_.size()) buf_.resize(end_ + want);
  }
  int r = recv(s, buf_.data() + end_, (int)want, 0);
  if (r > 0) {
    end_ += (size_t)r;
    return r;
  }
  if (stopped_) return kStopped;
  return r == 0 ? kConnectionLost : SocketError();
}

int HttpClient::ReadHead(SOCKET s, std::string* head) {
  size_t scanned = 0;  // bytes after begin_ already searched
  for (;;) {
    std::string_view avail(buf_.data() + begin_, end_ - begin_);
    size_t from = scanned > 3 ? scanned - 3 : 0;
    size_t crlf = avail.find("\r\n\r\n", from);
    size_t lf = avail.find("\n\n", from);
    size_t end = std::string_view::npos, skip = 0;
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf)) end = crlf, skip = 4;
    else if (lf != std::string_view::npos) end = lf, skip = 2;
    if (end != std::string_view::npos) {
      head->assign(avail.substr(0, end));
      begin_ += end + skip;
      return 0;
    }
    if (avail.size() > kMaxHead) return kBadReply;
    // A reply must start like one: refuse early what cannot become HTTP.
    if (avail.size() >= 5 && !EqualsNoCase(avail.substr(0, 5), "HTTP/")) return kBadReply;
    scanned = avail.size();
    int r = Fill(s, Block());
    if (r < 0) return r;
  }
}

int HttpClient::ReadLine(SOCKET s, std::string* line) {
  for (;;) {
    const char* start = buf_.data() + begin_;
    const char* nl = (const char*)std::memchr(start, '\n', end_ - begin_);
    if (nl) {
      line->assign(start, (size_t)(nl - start));
      if (!line->empty() && line->back() == '\r') line->pop_back();
      begin_ += (size_t)(nl - start) + 1;
      return 0;
    }
    if (end_ - begin_ > kMaxLine) return kBadReply;
    int r = Fill(s, kLineFill);
    if (r < 0) return r;
  }
}

int HttpClient::Deliver(BodySink* sink, const char* data, size_t size, HttpResponse* response) {
  if (sink && !sink->Write(data, size)) return kSinkFailed;
  response->bodyBytes += (int64_t)size;
  if (progress) progress(false, response->bodyBytes);
  return stopped_ ? kStopped : 0;
}

// Moves up to `count` body bytes (kUntilClose: until the connection
// closes), a block at a time, from what is buffered and then from the socket.
int HttpClient::CopyBody(SOCKET s, int64_t count, BodySink* sink, HttpResponse* response) {
  int64_t left = count;
  while (left != 0) {
    const size_t block = Block();
    if (begin_ == end_) {
      const size_t want = left < 0 || (int64_t)block < left ? block : (size_t)left;
      const int r = Fill(s, want);
      if (r == kConnectionLost && count == kUntilClose) return 0;  // the body ends with the connection
      if (r < 0) return r;
    }
    size_t n = end_ - begin_;
    if (n > block) n = block;
    if (left >= 0 && (int64_t)n > left) n = (size_t)left;
    const int r = Deliver(sink, buf_.data() + begin_, n, response);
    begin_ += n;
    if (r < 0) return r;
    if (left > 0) left -= (int64_t)n;
  }
  return 0;
}

// Chunks up to the last (empty) one, then the trailers up to the empty line.
int HttpClient::ReadChunkedBody(SOCKET s, BodySink* sink, HttpResponse* response) {
  std::string line;
  for (;;) {
    int r = ReadLine(s, &line);
    if (r < 0) return r;
    uint64_t size = 0;
    if (!ParseChunkSize(line, &size)) return kBadReply;
    if (size == 0) break;
    r = CopyBody(s, (int64_t)size, sink, response);
    if (r < 0) return r;
    r = ReadLine(s, &line);
    if (r < 0) return r;
    if (!line.empty()) return kBadReply;  // the chunk held more than its size said
  }
  for (;;) {
    const int r = ReadLine(s, &line);
    if (r < 0) return r;
    if (line.empty()) return 0;
  }
}

bool HttpClient::HasNoBody(const HttpRequest& request, int status) {
  return request.method == "HEAD" || status == kHttpNoContent || status == kHttpNotModified ||
         (status >= kHttpContinue && status < kHttpOk);
}

int HttpClient::ReadBody(SOCKET s, const HttpRequest& request, BodySink* sink, HttpResponse* response,
                         bool* keepAlive) {
  if (HasNoBody(request, response->status)) return 0;
  const std::string* te = response->headers.Find("Transfer-Encoding");
  if (te && !EqualsNoCase(*te, "identity")) return ReadChunkedBody(s, sink, response);
  if (response->contentLength < 0) {
    *keepAlive = false;
    return CopyBody(s, kUntilClose, sink, response);
  }
  const int r = CopyBody(s, response->contentLength, sink, response);
  if (r != kConnectionLost) return r;
  response->truncated = true;  // shorter than announced: the caller sees it
  *keepAlive = false;
  return 0;
}

int HttpClient::Fail(int code) {
  CloseSocket();
  lastStatus_ = code;
  return code;
}

bool HttpClient::PlanRoute(const std::string& url, Route* route) const {
  std::string path;
  uint16_t port = kHttpPort;
  if (!SplitUrl(url, &route->host, &port, &path)) return false;
  route->viaProxy = !proxy.host.empty();
  route->connectHost = route->viaProxy ? proxy.host : route->host;
  route->connectPort = route->viaProxy ? (proxy.port ? proxy.port : kDefaultProxyPort) : port;
  route->hostHeader = port == kHttpPort ? route->host : route->host + ":" + std::to_string(port);
  // A proxy is asked for the absolute URL.
  route->target = route->viaProxy ? "http://" + route->hostHeader + path : path;
  route->connection = route->connectHost + ":" + std::to_string(route->connectPort);
  return true;
}

std::string HttpClient::RequestHead(const HttpRequest& request, const Route& route) const {
  std::string head = request.method + " " + route.target + " HTTP/1.1\r\n";
  head += "Host: " + route.hostHeader + "\r\n";
  if (!userAgent.empty()) head += "User-Agent: " + userAgent + "\r\n";
  head += "Accept: */*\r\n";
  if (request.rangeStart >= 0) {
    head += "Range: bytes=" + std::to_string(request.rangeStart) + "-";
    if (request.rangeEnd >= 0) head += std::to_string(request.rangeEnd);
    head += "\r\n";
  }
  if (route.viaProxy && !proxy.user.empty())
    head += "Proxy-Authorization: Basic " + Base64(proxy.user + ":" + proxy.password) + "\r\n";
  if (request.method == "POST") {
    if (!request.contentType.empty()) head += "Content-Type: " + request.contentType + "\r\n";
    head += "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
  }
  head += "Connection: keep-alive\r\n\r\n";
  return head;
}

int HttpClient::OpenConnection(const Route& route, bool* reused, SOCKET* s) {
  *reused = socket_ != INVALID_SOCKET && connectedTo_ == route.connection && begin_ == end_;
  if (!*reused) {
    CloseSocket();
    int error = 0;
    if (!Connect(route.connectHost, route.connectPort, &error)) return error;
    connectedTo_ = route.connection;
  }
  begin_ = end_ = 0;
  *s = socket_;
  return *s == INVALID_SOCKET ? kStopped : 0;
}

int HttpClient::SendRequest(SOCKET s, const std::string& head, const std::string& body) {
  int r = SendAll(s, head.data(), head.size(), false);
  if (r == 0 && !body.empty()) r = SendAll(s, body.data(), body.size(), true);
  return r;
}

// The final reply head: interim "100 Continue" replies are skipped.
int HttpClient::ReadFinalHead(SOCKET s, std::string replyHead, ParsedHead* parsed) {
  if (!ParseHead(replyHead, parsed)) return kBadReply;
  while (parsed->status == kHttpContinue) {
    const int r = ReadHead(s, &replyHead);
    if (r < 0) return r;
    if (!ParseHead(replyHead, parsed)) return kBadReply;
  }
  return 0;
}

// Status, headers and Content-Length of the reply; false for a malformed
// length. `keepAlive` tells whether the connection may serve the next request.
bool HttpClient::TakeHead(ParsedHead* parsed, HttpResponse* response, bool* keepAlive) {
  response->status = parsed->status;
  response->headers = std::move(parsed->headers);
  lastStatus_ = parsed->status;
  const std::string* te = response->headers.Find("Transfer-Encoding");
  const std::string* cl = response->headers.Find("Content-Length");
  if (cl && !(te && !EqualsNoCase(*te, "identity"))) {
    if (!ParseContentLength(*cl, &response->contentLength)) return false;
  }
  const std::string* connection = response->headers.Find("Connection");
  *keepAlive = parsed->minorVersion >= 1 ? !HasToken(connection, "close") : HasToken(connection, "keep-alive");
  return true;
}

int HttpClient::ReadReply(SOCKET s, const HttpRequest& request, const std::string& replyHead, BodySink* sink,
                          HttpResponse* response) {
  ParsedHead parsed;
  int r = ReadFinalHead(s, replyHead, &parsed);
  if (r < 0) return Fail(r);
  bool keepAlive = false;
  if (!TakeHead(&parsed, response, &keepAlive)) return Fail(kBadReply);
  if (sink && !sink->Begin(*response)) {
    // Unwanted body (an error reply): close instead of draining it.
    if (request.method != "HEAD") CloseSocket();
    return response->status;
  }
  r = ReadBody(s, request, sink, response, &keepAlive);
  if (r < 0) return Fail(r);
  if (!keepAlive || begin_ != end_) CloseSocket();
  return response->status;
}

int HttpClient::Execute(const HttpRequest& request, BodySink* sink, HttpResponse* response) {
  *response = HttpResponse();
  if (stopped_) return Fail(kStopped);
  Route route;
  if (!PlanRoute(request.url, &route)) return Fail(kConnectFailed);
  const std::string head = RequestHead(request, route);
  // A kept connection may have been closed by the server meanwhile; then the
  // request is sent once more on a fresh connection.
  for (int attempt = 0;; ++attempt) {
    bool reused = false;
    SOCKET s = INVALID_SOCKET;
    int r = OpenConnection(route, &reused, &s);
    if (r < 0) return Fail(r);
    std::string replyHead;
    r = SendRequest(s, head, request.body);
    if (r == 0) r = ReadHead(s, &replyHead);
    if (r < 0) {
      const bool closedMeanwhile = reused && attempt == 0 && r != kStopped && r != kTimedOut && end_ == 0;
      if (!closedMeanwhile) return Fail(r);
      CloseSocket();
      continue;
    }
    return ReadReply(s, request, replyHead, sink, response);
  }
}

}  // namespace svnet
