#include "net_query.h"

#include "SolvikaNet.h"
#include "svstring.h"

namespace dialogs {

NetQuery::~NetQuery() {
  if (job_) SVNetDestroy(&job_);
}

bool NetQuery::Start(int method, const std::string& path, void* form) {
  if (!job_ && SVNetCreateEx(&job_) != SVNET_OK) return false;
  path_ = path;
  sv::OwnedStr pathStr(path_), hostStr(host), tagStr(tag_);
  TSVNetParams params = {};
  params.Size = sizeof params;
  params.Method = static_cast<uint8_t>(method);
  params.HostMode = host.empty() ? SVNET_HOSTS_SCRIPT : SVNET_HOSTS_EXPLICIT;
  params.Resume = 0;
  params.Path = pathStr;
  params.Host = host.empty() ? nullptr : static_cast<SvStr>(hostStr);
  params.Timeout = timeout_;
  params.Tag = tagStr;
  params.FormStream = form;
  if (SVNetInitEx(&job_, params) != SVNET_OK) return false;
  return SVNetRun(&job_) == SVNET_OK;
}

bool NetQuery::Query(const std::string& path) { return Start(SVNET_POSTORGET, path, nullptr); }
bool NetQuery::PostForm(const std::string& path, void* form) { return Start(SVNET_POST, path, form); }
bool NetQuery::Done() { return !job_ || SVNetIsDone(&job_); }
bool NetQuery::Succeeded() { return job_ && SVNetIsDone(&job_) && SVNetIsCorrect(&job_); }

NetForm::NetForm() { SVNetFormCreate(&form_); }
NetForm::~NetForm() {
  if (form_) SVNetFormFree(&form_);
}
void NetForm::Add(const char* name, const std::string& value) {
  if (form_) SVNetFormAddField(form_, name, value.c_str());
}

}  // namespace dialogs
