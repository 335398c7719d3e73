#include "update_form.h"

#include <commctrl.h>

#include "SolvikaUtils.h"
#include "app.h"
#include "message_box.h"
#include "progress_text.h"
#include "svstring.h"
#include "text.h"
#include "update_form_ids.h"
#include "update_list.h"
#include "update_targets.h"
#include "wide.h"

namespace update {

namespace {

constexpr UINT_PTR kQueryTimer = 1;
constexpr UINT_PTR kSizeTimer = 2;
constexpr UINT_PTR kDownloadTimer = 3;
constexpr int32_t kQueryTimeoutMs = 60000;
constexpr char kJobTag[] = "SolvikaUpdate 3";
constexpr char kListPath[] = "client/update.php?act=getfiles2";
constexpr char kStatPath[] = "client/update.php?act=download&stat=";
constexpr char kContentPath[] = "client/plugins/";
constexpr int kProgressMax = 100;

std::string ProgramFolder() {
  std::string folder = sv::TakeOut(GetCurrDir);
  if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
  return folder;
}

}  // namespace

void UpdateForm::Run(HWND owner) {
  ui::RegisterDialogClass(ui::ThisModule(), kUpdateFormClass);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  RunModal(ui::ThisModule(), IDD_UPDATE_FORM, owner);
  // The jobs belong to the window's timers; they go with the window.
  query_.reset();
  size_.reset();
  download_.reset();
}

void UpdateForm::OnInitDialog() {
  programFolder_ = ProgramFolder();
  query_ = std::make_unique<QueryJob>(Handle(), kQueryTimer);
  size_ = std::make_unique<SizeJob>(Handle(), kSizeTimer);
  download_ = std::make_unique<DownloadJob>(Handle(), kDownloadTimer);
  query_->timeoutMs = kQueryTimeoutMs;
  size_->timeoutMs = kQueryTimeoutMs;
  query_->tag = size_->tag = download_->tag = kJobTag;
  query_->onDone = [this] { OnQueryDone(); };
  size_->onDone = [this] { OnSizeDone(); };
  download_->onDone = [this] { OnDownloadDone(); };
  download_->onProgress = [this](uint64_t received) { OnDownloadProgress(received); };

  queryPhase_ = QueryPhase::List;
  query_->Run(kListPath);
}

bool UpdateForm::OnCommand(int id, int code, HWND control) {
  (void)control;
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_UPDATE_START:
      OnStart();
      return true;
    case IDC_UPDATE_CLOSE:
    case IDCANCEL:
      End(0);
      return true;
  }
  return false;
}

bool UpdateForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  (void)lparam;
  if (message != WM_TIMER) return false;
  for (TovrinJob* job : {static_cast<TovrinJob*>(query_.get()), static_cast<TovrinJob*>(size_.get()),
                         static_cast<TovrinJob*>(download_.get())}) {
    if (job && job->TimerId() == wparam) job->Tick();
  }
  *result = TRUE;
  return true;
}

void UpdateForm::OnQueryDone() {
  if (queryPhase_ == QueryPhase::List) OnListReceived();
  else OnFinished();
}

void UpdateForm::OnListReceived() {
  const std::string& reply = query_->Result();
  if (!query_->Correct()) {
    ShowNoNetwork();
    return;
  }
  const UpdateLists lists = ParseUpdateReply(reply);
  DebugWrite(("-->Download packages: " + lists.packages).c_str());
  DebugWrite(("-->Download files: " + lists.files).c_str());
  files_ = lists.files;

  ProgramFolderTargets targets(programFolder_);
  downloadList_ = BuildDownloadList(lists, targets);
  if (downloadList_.empty()) {
    ui::MessageBox1251(Handle(), sv::Ru(u8"Обновления не найдены!"), Caption(),
                       MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
    SetItem(IDC_UPDATE_CLOSE, sv::Ru(u8"Финиш"));
    return;
  }
  size_->Run(kContentPath, downloadList_);
}

void UpdateForm::OnSizeDone() {
  if (!size_->Correct()) {
    ShowNoNetwork();
    return;
  }
  total_ = size_->Result();
  SetItem(IDC_UPDATE_SIZE, SizeAnnouncement(total_));
  SetItem(IDC_UPDATE_PROMPT, StartPrompt());
  HWND start = GetDlgItem(Handle(), IDC_UPDATE_START);
  EnableWindow(start, TRUE);
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(start), TRUE);
}

void UpdateForm::OnStart() {
  HWND start = GetDlgItem(Handle(), IDC_UPDATE_START);
  if (!IsWindowEnabled(start)) return;
  EnableWindow(start, FALSE);
  SetItem(IDC_UPDATE_PERCENT, "");
  SetItem(IDC_UPDATE_RECEIVED, "");
  SetItem(IDC_UPDATE_SPEED, "");
  SetItem(IDC_UPDATE_TOTAL, TotalSizeLabel(total_));
  HWND bar = GetDlgItem(Handle(), IDC_UPDATE_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, kProgressMax);
  SendMessageW(bar, PBM_SETPOS, 0, 0);
  ShowProgressGroup(true);
  received_ = 0;
  startTick_ = GetTickCount();
  download_->Run(programFolder_, kContentPath, downloadList_);
}

void UpdateForm::OnDownloadProgress(uint64_t received) {
  received_ = received;
  const ProgressTexts texts = MakeProgressTexts(received_, total_, GetTickCount() - startTick_);
  SendMessageW(GetDlgItem(Handle(), IDC_UPDATE_PROGRESS), PBM_SETPOS, texts.percent, 0);
  SetItem(IDC_UPDATE_RECEIVED, texts.received);
  SetItem(IDC_UPDATE_PERCENT, texts.percentage);
  if (!texts.speed.empty()) SetItem(IDC_UPDATE_SPEED, texts.speed);
}

void UpdateForm::OnDownloadDone() {
  if (!download_->Correct()) {
    ShowNoNetwork();
    return;
  }
  OnDownloadProgress(download_->Result());
  queryPhase_ = QueryPhase::Stat;
  query_->Run(kStatPath + sv::TakeOut(GetProgramId));
}

void UpdateForm::OnFinished() {
  // "завершенo" ends with a Latin "o": the text the server side and users know.
  SetItem(IDC_UPDATE_STATUS, sv::Ru(u8"Обновление программы завершен") + "o");
  ShowItem(IDC_UPDATE_SIZE, false);
  ShowItem(IDC_UPDATE_PROMPT, false);
  ShowProgressGroup(false);
  HWND close = GetDlgItem(Handle(), IDC_UPDATE_CLOSE);
  EnableWindow(close, TRUE);
  SetItem(IDC_UPDATE_CLOSE, sv::Ru(u8"Финиш"));
}

void UpdateForm::ShowNoNetwork() { AppShowNoNetMsg(Caption().c_str(), ""); }

void UpdateForm::SetItem(int id, const std::string& text1251) { ui::SetItemText(Handle(), id, text1251); }

void UpdateForm::ShowItem(int id, bool visible) {
  ShowWindow(GetDlgItem(Handle(), id), visible ? SW_SHOW : SW_HIDE);
}

void UpdateForm::ShowProgressGroup(bool visible) {
  for (int id : {IDC_UPDATE_GROUP, IDC_UPDATE_PROGRESS, IDC_UPDATE_RECEIVED, IDC_UPDATE_TOTAL, IDC_UPDATE_PERCENT,
                 IDC_UPDATE_SPEED})
    ShowItem(id, visible);
}

std::string UpdateForm::Caption() { return ui::GetText(Handle()); }

}  // namespace update
