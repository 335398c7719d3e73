// TTovrinNetQuery: one HTTP job of the network engine as the dialogs use it,
// a query or a multipart post to a path on the script hosts (or on Host when
// it is set), polled by a timer of the owning window.
#pragma once

#include <windows.h>

#include <string>

namespace dialogs {

constexpr UINT kNetPollMs = 250;

class NetQuery {
 public:
  NetQuery(int timeoutMs, std::string tag) : timeout_(timeoutMs), tag_(std::move(tag)) {}
  ~NetQuery();
  NetQuery(const NetQuery&) = delete;
  NetQuery& operator=(const NetQuery&) = delete;

  // "POSTorGET" query of `path`; false when the job could not be started.
  bool Query(const std::string& path);
  // "POST" of `form` (a form of SVNetFormCreate, kept by the caller) to `path`.
  bool PostForm(const std::string& path, void* form);
  bool Done();
  bool Succeeded();

  std::string host;  // explicit host; empty: the script hosts

 private:
  bool Start(int method, const std::string& path, void* form);

  void* job_ = nullptr;
  int timeout_;
  std::string tag_;
  std::string path_;
};

// A multipart form owned for a scope.
class NetForm {
 public:
  NetForm();
  ~NetForm();
  NetForm(const NetForm&) = delete;
  NetForm& operator=(const NetForm&) = delete;
  void Add(const char* name, const std::string& value);
  void* Get() const { return form_; }

 private:
  void* form_ = nullptr;
};

}  // namespace dialogs
