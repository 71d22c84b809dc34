#include "alarms/actions/mail_test_progress_dlg.h"

#include <string>

#include "alarms/actions/alarm_worker.h"
#include "res/resource.h"

namespace alarms {

namespace {
constexpr UINT kSentMessage = WM_APP + 1;
constexpr const char* kResultTitle = "Email Test";
}  // namespace

CMailTestProgressDlg::CMailTestProgressDlg(HWND boxParent)
    : CDialog(IDD_MAIL_TEST_PROGRESS), boxParent_(boxParent) {}

CMailTestProgressDlg::~CMailTestProgressDlg() { Close(); }

FRAMEWORK_BEGIN_MESSAGE_MAP(CMailTestProgressDlg, framework::CDialog)
  framework::OnMessage<&CMailTestProgressDlg::OnSent>(kSentMessage),
  framework::OnMessage<&CMailTestProgressDlg::OnDestroyMessage>(WM_DESTROY),
FRAMEWORK_END_MESSAGE_MAP()

bool CMailTestProgressDlg::Start(const AlarmJob& job, HWND owner) {
  Close();
  if (!Create(owner)) {
    ::MessageBoxA(boxParent_, "The test could not be started.", kResultTitle, MB_OK);
    return false;
  }
  const AlarmTransport& t = job.transport;
  const std::string text = "Sending the test e-mail through " + t.server + ":" + std::to_string(t.port) + " ...";
  ::SetDlgItemTextA(GetSafeHwnd(), IDC_MT_TEXT, text.c_str());
  test_ = std::make_shared<CAlarmMailTest>();
  if (!StartAlarmMailTest(job, test_, GetSafeHwnd(), kSentMessage)) {
    Close();
    ::MessageBoxA(boxParent_, "The test could not be started.", kResultTitle, MB_OK);
    return false;
  }
  owner_ = owner && ::IsWindowEnabled(owner) ? owner : nullptr;
  if (owner_) ::EnableWindow(owner_, FALSE);
  ::ShowWindow(GetSafeHwnd(), SW_SHOW);
  return true;
}

void CMailTestProgressDlg::OnCancel() { Close(); }

LRESULT CMailTestProgressDlg::OnSent(WPARAM, LPARAM) {
  const std::string error = test_ ? test_->Result() : std::string();
  Close();
  ::MessageBoxA(boxParent_, error.empty() ? "Email Sent" : error.c_str(), kResultTitle, MB_OK);
  return 0;
}

LRESULT CMailTestProgressDlg::OnDestroyMessage(WPARAM, LPARAM) {
  // Destroyed with its owner (the sheet closing): the send ends with it,
  // and the owner going is not given its input back.
  if (test_) test_->cancel.Cancel();
  test_.reset();
  owner_ = nullptr;
  return 0;
}

void CMailTestProgressDlg::Close() {
  if (test_) test_->cancel.Cancel();
  test_.reset();
  // Input goes back to the owner before the window goes, so the
  // activation returns to the owner rather than another program.
  if (owner_) ::EnableWindow(owner_, TRUE);
  owner_ = nullptr;
  if (GetSafeHwnd()) DestroyWindow();
}

}  // namespace alarms
