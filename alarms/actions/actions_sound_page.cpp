#include "alarms/actions/actions_sound_page.h"

#include <commctrl.h>

#include "alarms/actions/alarm_test_actions.h"
#include "alarms/actions/dialog_items.h"
#include "framework/dialogs/common_dialogs.h"
#include "framework/dialogs/data_exchange.h"
#include "framework/dialogs/message_box.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "res/resource.h"

namespace alarms {

CActionsSound::CActionsSound() : CPropertyPage(IDD_ACTIONS_SOUND) { SetHelpContext(149); }
CActionsSound::~CActionsSound() {
  if (browseBitmap_) ::DeleteObject(browseBitmap_);
}

FRAMEWORK_BEGIN_MESSAGE_MAP(CActionsSound, framework::CPropertyPage)
  framework::OnCommand<&CActionsSound::UpdateEnabled>(IDC_AS_ENABLED),
  framework::OnCommand<&CActionsSound::UpdateEnabled>(IDC_AS_UNTIL_ACK),
  framework::OnCommand<&CActionsSound::OnBrowse>(IDC_AS_BROWSE),
  framework::OnCommand<&CActionsSound::OnTest>(IDC_AS_TEST),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CActionsSound::OnInitDialog() {
  const CProgramSettings& s = g_Settings;
  if (event) {
    enabled = ResolveInherited(event->soundOn, static_cast<int16_t>(s.AlarmSoundEnabled));
    soundFile = ResolveInheritedText(event->alarmSoundFile, s.AlarmSoundFile);
    length = ResolveInheritedInt(event->soundLength, s.AlarmLength);
    autoAcknowledge = ResolveInherited(event->autoAcknowledge, s.AutoAcknowledge);
  }
  untilAcknowledged = length == -1 ? 1 : 0;
  lengthShown = length == -1 ? 10 : length;
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_AS_LENGTH_SPIN, UDM_SETRANGE32, 1, 60);
  COLORMAP map = {0xC0C0C0, ::GetSysColor(COLOR_BTNFACE)};
  browseBitmap_ = ::CreateMappedBitmap(ResourceInstance(), IDB_WIZARD_SOUND, 0, &map, 1);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_AS_BROWSE, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(browseBitmap_));
  BOOL r = CPropertyPage::OnInitDialog();
  UpdateEnabled();
  return r;
}

void CActionsSound::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_AS_ENABLED, enabled);
  framework::ExchangeText(dx, IDC_AS_FILE, soundFile);
  framework::ExchangeText(dx, IDC_AS_LENGTH, lengthShown);
  framework::ValidateRange(dx, lengthShown, 1, 60);
  framework::ExchangeCheck(dx, IDC_AS_UNTIL_ACK, untilAcknowledged);
  framework::ExchangeCheck(dx, IDC_AS_AUTO_ACK, autoAcknowledge);
}

void CActionsSound::UpdateEnabled() {
  HWND d = GetSafeHwnd();
  bool on = IsChecked(d, IDC_AS_ENABLED);
  for (int id : {IDC_AS_FILE_LABEL, IDC_AS_FILE, IDC_AS_TEST, IDC_AS_BROWSE, IDC_AS_UNTIL_ACK, IDC_AS_LENGTH_LABEL})
    EnableItem(d, id, on);
  bool length = on && !IsChecked(d, IDC_AS_UNTIL_ACK);
  EnableItem(d, IDC_AS_LENGTH, length);
  EnableItem(d, IDC_AS_LENGTH_SPIN, length);
}

void CActionsSound::OnBrowse() {
  framework::CFileDialog dlg(true, "wav", ItemText(GetSafeHwnd(), IDC_AS_FILE), OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                             "Sound Files (*.wav)|*.wav|All Files (*.*)|*.*||", GetSafeHwnd());
  dlg.title = "Select Alarm Sound";
  if (dlg.DoModal() == IDOK) ::SetDlgItemTextA(GetSafeHwnd(), IDC_AS_FILE, dlg.GetPathName().c_str());
}

void CActionsSound::OnTest() {
  framework::CWaitCursor wait;
  PlayAlarmSound(GetSafeHwnd(), ItemText(GetSafeHwnd(), IDC_AS_FILE));
}

void CActionsSound::OnOK() {
  length = untilAcknowledged ? -1 : lengthShown;
  if (event) {
    const CProgramSettings& s = g_Settings;
    event->soundOn = ToInherited(static_cast<int16_t>(enabled), s.AlarmSoundEnabled);
    event->alarmSoundFile = ToInheritedText(soundFile, s.AlarmSoundFile);
    // -1 (until acknowledged) is a value of its own, never the inherit marker.
    event->soundLength = static_cast<int16_t>(ToInheritedInt(length, s.AlarmLength));
    event->autoAcknowledge = ToInherited(static_cast<int16_t>(autoAcknowledge), s.AutoAcknowledge);
  }
  CPropertyPage::OnOK();
}

}  // namespace alarms
