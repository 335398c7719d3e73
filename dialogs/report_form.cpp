#include "report_form.h"

#include <commctrl.h>

#include "app.h"
#include "ids.h"
#include "message_box.h"
#include "settings.h"
#include "text.h"
#include "wide.h"

namespace dialogs {

namespace {

constexpr int kClientWidth = 491, kClientHeight = 361;
constexpr UINT_PTR kPollTimer = 1;
constexpr int kSendTimeoutMs = 60000;
constexpr int kInputs[] = {IDC_REPORT_USER_TEXT, IDC_REPORT_SEND, IDC_REPORT_EMAIL, IDC_REPORT_ICQ};

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

void ReportForm::ShowLetter() {
  mode_ = kLetter;
  Run();
}

void ReportForm::ShowPaySupport() {
  mode_ = kPaySupport;
  Run();
}

void ReportForm::ShowErrorLog(const std::string& header, const std::string& details) {
  mode_ = kErrorLog;
  header_ = header;
  details_ = details;
  Run();
}

void ReportForm::Run() {
  ui::RegisterDialogClass(ui::ThisModule(), kReportFormClass);
  RunModal(ui::ThisModule(), IDD_REPORT_FORM, ui::ApplicationWindow());
}

std::string ReportForm::Caption() const { return ui::GetText(Handle()); }

void ReportForm::OnInitDialog() {
  HWND w = Handle();
  ui::SetClientSizeWithControls(w, kClientWidth, kClientHeight);
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, w, nullptr,
                            ui::ThisModule(), nullptr);
  SendDlgItemMessageW(w, IDC_REPORT_USER_TEXT, EM_LIMITTEXT, kUserTextLimit, 0);
  ui::SetText(status_, sv::Ru(u8"Введите правильный E-Mail, если хотите получить ответ!"));
  ui::SetItemText(w, IDC_REPORT_EMAIL, StoredEmail());
  systemText_ = SystemText(GatherSystemFacts());
  ApplyMode();
  ui::SetItemText(w, IDC_REPORT_SYS_TEXT, systemText_);
  ui::SetItemText(w, IDC_REPORT_USER_TEXT, "");
  EnableInputs(true);
  ui::CenterOnDesktop(w);
  SetFocus(GetDlgItem(w, IDC_REPORT_USER_TEXT));
}

void ReportForm::ApplyMode() {
  HWND w = Handle();
  if (mode_ == kErrorLog) {
    ui::SetText(w, sv::Ru(u8"Solvika | Журнал ошибок"));
    ui::SetItemText(w, IDC_REPORT_SEND, sv::Ru(u8"Отправить отчет"));
    ui::SetItemText(w, IDC_REPORT_SYS_GROUP, sv::Ru(u8"Сведения о программе:"));
    ui::SetItemText(w, IDC_REPORT_USER_GROUP, sv::Ru(u8"Описание ошибки:"));
    systemText_ = ErrorLogText(systemText_, header_, details_);
    return;
  }
  if (mode_ == kPaySupport) ui::SetText(w, sv::Ru(u8"Solvika | Служба поддержки абонплаты"));
  // The letters hide the system block; the letter's text takes its place.
  RECT top = ui::RectInParent(GetDlgItem(w, IDC_REPORT_SYS_GROUP));
  RECT group = ui::RectInParent(GetDlgItem(w, IDC_REPORT_USER_GROUP));
  RECT text = ui::RectInParent(GetDlgItem(w, IDC_REPORT_USER_TEXT));
  ShowWindow(GetDlgItem(w, IDC_REPORT_SYS_GROUP), SW_HIDE);
  ShowWindow(GetDlgItem(w, IDC_REPORT_SYS_TEXT), SW_HIDE);
  const int rise = group.top - top.top;
  MoveWindow(GetDlgItem(w, IDC_REPORT_USER_GROUP), group.left, top.top, group.right - group.left,
             group.bottom - top.top, TRUE);
  MoveWindow(GetDlgItem(w, IDC_REPORT_USER_TEXT), text.left, text.top - rise, text.right - text.left,
             text.bottom - text.top + rise, TRUE);
}

void ReportForm::EnableInputs(bool enable) {
  for (int id : kInputs) EnableWindow(GetDlgItem(Handle(), id), enable);
}

bool ReportForm::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_REPORT_SEND: Send(); return true;
    case IDC_REPORT_CLOSE:
    case IDCANCEL: End(IDCANCEL); return true;
    case IDOK: return true;  // Enter in a field sends nothing
  }
  return false;
}

void ReportForm::Send() {
  HWND w = Handle();
  const std::string userText = ui::GetItemText(w, IDC_REPORT_USER_TEXT);
  if (mode_ != kErrorLog && IsBlank(userText)) {
    ui::MessageBox1251(w, sv::Ru(u8"Введите текст сообщения"), Caption(), MB_ICONWARNING | MB_TOPMOST);
    return;
  }
  const std::string email = ui::GetItemText(w, IDC_REPORT_EMAIL), icq = ui::GetItemText(w, IDC_REPORT_ICQ);
  job_ = std::make_unique<NetQuery>(kSendTimeoutMs, "Solvika " + ProgramVersionText() + "; SendError");
  form_ = std::make_unique<NetForm>();
  form_->Add("SysMsg", systemText_);
  form_->Add("UserMsg", userText);
  const bool started = job_->PostForm(ReportPath(mode_, ClientId(), UrlEncoded(email), UrlEncoded(icq)), form_->Get());
  EnableInputs(false);
  StoreEmail(email);
  if (!started) job_.reset();
  timer_.Start(w, kPollTimer, kNetPollMs);
  Poll();
}

void ReportForm::Poll() {
  if (job_ && !job_->Done()) return;
  timer_.Stop();
  HWND w = Handle();
  const bool sent = job_ && job_->Succeeded();
  job_.reset();
  form_.reset();
  if (sent) {
    ui::MessageBox1251(w, sv::Ru(u8"Отчет отправлен\rСпасибо за помощь!"), Caption(), MB_ICONINFORMATION | MB_TOPMOST);
    End(IDOK);
    return;
  }
  ui::MessageBox1251(w, sv::Ru(u8"Отчет не отправлен\rНевозможно подключиться к серверу!"), Caption(),
                     MB_ICONERROR | MB_TOPMOST);
  EnableInputs(true);
}

bool ReportForm::OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR* result) {
  if (message == WM_TIMER && wparam == kPollTimer) {
    Poll();
    *result = 0;
    return true;
  }
  return false;
}

}  // namespace dialogs
