#include "dialogs/wizard/wizard_alarm.h"

#include <commctrl.h>
#include <prsht.h>

#include "dialogs/wizard/event_wizard.h"
#include "dialogs/small/help_hook.h"
#include "framework/application.h"
#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/data_exchange.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace dialogs {

CWizardAlarm::CWizardAlarm(CEventWizard* wizard) : CPropertyPage(IDD_WIZARD_ALARM), wizard_(wizard) {}

CWizardAlarm::~CWizardAlarm() {
  if (soundPicture_) ::DeleteObject(soundPicture_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CWizardAlarm, framework::CPropertyPage)
  framework::OnCommand<&CWizardAlarm::OnEnabled>(IDC_WIZ_ALARM_ON),
  framework::OnCommand<&CWizardAlarm::OnSound>(IDC_WIZ_SOUND),
  framework::OnMessage<&CWizardAlarm::OnHelp>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CWizardAlarm::OnInitDialog() {
  HWND hwnd = GetSafeHwnd();
  HWND units = ::GetDlgItem(hwnd, IDC_WIZ_UNITS);
  for (const char* u : {"Minutes", "Hours", "Days", "Weeks"})
    ::SendMessageA(units, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
  ::SendDlgItemMessageA(hwnd, IDC_WIZ_LEAD_SPIN, UDM_SETRANGE32, 0, 1000);
  ::SendDlgItemMessageA(hwnd, IDC_WIZ_DAYS_SPIN, UDM_SETRANGE32, 0, 365);
  // The picture's light grey takes the button face colour.
  COLORMAP map = {RGB(0xC0, 0xC0, 0xC0), ::GetSysColor(COLOR_BTNFACE)};
  framework::CApplication* app = framework::TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  soundPicture_ = ::CreateMappedBitmap(inst, IDB_WIZARD_SOUND, 0, &map, 1);
  if (soundPicture_)
    ::SendDlgItemMessageA(hwnd, IDC_WIZ_SOUND, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(soundPicture_));
  const BOOL result = CPropertyPage::OnInitDialog();
  EnableLead();
  return result;
}

void CWizardAlarm::DoDataExchange(framework::CDataExchange& dx) {
  wizardcore::WizardAnswers& a = wizard_->answers;
  framework::ExchangeCheck(dx, IDC_WIZ_ALARM_ON, a.alarmEnabled);
  framework::ExchangeText(dx, IDC_WIZ_LEAD, a.leadTime);
  framework::ValidateRange(dx, a.leadTime, 0u, 1000u);
  framework::ExchangeComboText(dx, IDC_WIZ_UNITS, a.leadUnits);
  framework::ExchangeText(dx, IDC_WIZ_DAYS_PRIOR, a.daysPrior);
  framework::ValidateRange(dx, a.daysPrior, 0u, 365u);
}

BOOL CWizardAlarm::OnSetActive() {
  wizard_->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  if (activated_) {
    UpdateData(false);
    EnableLead();
  }
  activated_ = true;
  return TRUE;
}

LRESULT CWizardAlarm::OnWizardBack() {
  UpdateData(true);
  return 0;
}

BOOL CWizardAlarm::OnWizardFinish() { return UpdateData(true) ? TRUE : FALSE; }

void CWizardAlarm::EnableLead() {
  const bool on = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_WIZ_ALARM_ON) != BST_UNCHECKED;
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_WIZ_LEAD), on);
  ::EnableWindow(::GetDlgItem(GetSafeHwnd(), IDC_WIZ_UNITS), on);
}

void CWizardAlarm::OnEnabled() { EnableLead(); }

void CWizardAlarm::OnSound() {
  framework::CFileDialog dlg(true, "wav", g_Settings.AlarmSoundFile, OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*||", GetSafeHwnd());
  dlg.title = "Select Alarm Sound";
  if (dlg.DoModal() != IDOK) return;
  char folder[MAX_PATH] = "";
  ::GetCurrentDirectoryA(sizeof folder, folder);
  wizard_->answers.soundFile = wizardcore::ChosenSoundFile(dlg.GetPathName(), folder, g_Settings.AlarmSoundFile);
}

LRESULT CWizardAlarm::OnHelp(WPARAM, LPARAM) {
  ShowHelpTopic(85);
  return TRUE;
}

}  // namespace dialogs
