// A small HTTP/1.1 client on Windows Sockets.
//
// One request at a time per client; the connection is kept alive between
// requests to the same server unless the server closes it. Disconnect() may be
// called from any other thread: it shuts the socket down and closes it, which
// wakes a receive that is blocked on a silent server at once, and makes every
// later request of this client fail with kStopped.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "http_parse.h"
#include "win_handles.h"

namespace svnet {

// Results of Execute() when no complete reply arrived (HTTP statuses are >= 100).
enum HttpError {
  kConnectFailed = -3,   // name lookup or connection refused
  kConnectionLost = -4,  // the connection broke or closed inside the reply
  kTimedOut = -5,        // no data within the read timeout
  kBadReply = -6,        // not an HTTP reply, or a malformed head, length or chunk
  kStopped = -7,         // Disconnect() was called
  kSinkFailed = -8,      // the body could not be stored
};

struct HttpRequest {
  std::string method = "GET";  // GET, POST or HEAD
  std::string url;             // http://host[:port]/path?query
  int64_t rangeStart = -1;     // asks for bytes rangeStart..rangeEnd (-1: to the end)
  int64_t rangeEnd = -1;
  std::string body;  // POST body
  std::string contentType;
};

struct HttpResponse {
  int status = 0;
  int64_t contentLength = -1;  // -1 when the reply gave none
  HttpHeaders headers;
  int64_t bodyBytes = 0;  // body bytes received
  bool truncated = false;  // the connection closed before Content-Length bytes came
};

// Receives the body of a reply.
class BodySink {
 public:
  virtual ~BodySink() = default;
  // Called once the head is read; false drops the body (the connection is
  // then closed rather than drained).
  virtual bool Begin(const HttpResponse&) { return true; }
  virtual bool Write(const char* data, size_t size) = 0;
};

class StringSink : public BodySink {
 public:
  bool Write(const char* data, size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

struct ProxySettings {
  std::string host;  // empty: direct connection
  uint16_t port = 0;
  std::string user, password;
};

class HttpClient {
 public:
  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  int timeoutMs = 60000;  // receive timeout of each wait for data
  std::string userAgent;
  ProxySettings proxy;
  // Bytes asked of each receive and sent per send call; the progress
  // notification follows the same grain. Asked before every call.
  std::function<size_t()> blockSize;
  // Called after each received (write = false) or sent (write = true) block
  // with the body bytes moved so far by the current request.
  std::function<void(bool write, int64_t count)> progress;

  // Performs one request. Returns the reply's status when a reply head arrived
  // (also for error statuses; the body is then in the sink when it accepted
  // it, and `truncated` tells a short Content-Length body), else an HttpError.
  int Execute(const HttpRequest& request, BodySink* sink, HttpResponse* response);
  // The status of the last reply head seen, or the last HttpError.
  int LastStatus() const { return lastStatus_; }
  void Disconnect();

 private:
  // Where a request goes: directly or through the proxy.
  struct Route {
    std::string host;        // of the URL
    std::string hostHeader;  // host, with ":port" unless 80
    std::string target;      // the request target: the path, or the absolute URL for a proxy
    std::string connectHost;
    uint16_t connectPort = 0;
    std::string connection;  // "connectHost:connectPort", to match a kept connection
    bool viaProxy = false;
  };

  int Fail(int code);  // closes the connection, remembers and returns `code`
  bool PlanRoute(const std::string& url, Route* route) const;
  std::string RequestHead(const HttpRequest& request, const Route& route) const;
  // A kept connection to the same place, or a new one; 0 or an HttpError.
  int OpenConnection(const Route& route, bool* reused, SOCKET* s);
  int SendRequest(SOCKET s, const std::string& head, const std::string& body);
  int ReadFinalHead(SOCKET s, std::string replyHead, ParsedHead* parsed);
  bool TakeHead(ParsedHead* parsed, HttpResponse* response, bool* keepAlive);
  int ReadReply(SOCKET s, const HttpRequest& request, const std::string& replyHead, BodySink* sink,
                HttpResponse* response);
  static bool HasNoBody(const HttpRequest& request, int status);
  int CopyBody(SOCKET s, int64_t count, BodySink* sink, HttpResponse* response);
  int ReadChunkedBody(SOCKET s, BodySink* sink, HttpResponse* response);
  bool Connect(const std::string& host, uint16_t port, int* error);
  void CloseSocket();
  int SendAll(SOCKET s, const char* data, size_t size, bool reportProgress);
  int Fill(SOCKET s, size_t want);  // >0 bytes added, else an HttpError
  int ReadHead(SOCKET s, std::string* head);
  int ReadLine(SOCKET s, std::string* line);
  int ReadBody(SOCKET s, const HttpRequest& request, BodySink* sink, HttpResponse* response, bool* keepAlive);
  int Deliver(BodySink* sink, const char* data, size_t size, HttpResponse* response);
  size_t Block() const;

  sv::CriticalSection lock_;  // guards socket_ against Disconnect()
  SOCKET socket_ = INVALID_SOCKET;
  volatile LONG stopped_ = 0;
  std::string connectedTo_;  // "host:port" of the open connection
  // Received bytes not yet consumed: buf_[begin_, end_). A plain buffer that
  // is reused, so that receiving costs no clearing or copying.
  std::vector<char> buf_;
  size_t begin_ = 0, end_ = 0;
  int lastStatus_ = 0;
};

// Splits "http://host[:port]/path" (the scheme is optional); false when the
// host is empty or the port is not a number in 1..65535.
bool SplitUrl(const std::string& url, std::string* host, uint16_t* port, std::string* path);

std::string Base64(const std::string& bytes);

}  // namespace svnet
