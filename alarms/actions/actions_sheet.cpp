#include "alarms/actions/actions_sheet.h"

#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace alarms {

CActionsPropertySheet::CActionsPropertySheet(const std::string& caption, HWND parent, UINT firstPage)
    : CPropertySheet(caption, parent, firstPage) {
  AddPage(&soundPage);
  AddPage(&emailPage);
  AddPage(&runPage);
}

CActionsPropertySheet::~CActionsPropertySheet() {
  if (images_) ::ImageList_Destroy(images_);
}

void CActionsPropertySheet::SetEvent(CCalEvent* event) {
  soundPage.event = event;
  emailPage.event = event;
  runPage.event = event;
}

int CActionsPropertySheet::DoModal() {
  int result = CPropertySheet::DoModal();
  if (result == IDOK) g_Settings.SaveSettings();
  return result;
}

bool CActionsPropertySheet::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // The tab icons go on when the sheet first shows: it binds only after
  // the system made its tab control.
  if (message == WM_SHOWWINDOW && wParam && !images_) {
    HWND tabs = reinterpret_cast<HWND>(SendMsg(PSM_GETTABCONTROL));
    images_ = ::ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 3, 3);
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (int id : {IDI_ACTIONS_SOUND, IDI_ACTIONS_EMAIL, IDI_ACTIONS_RUN}) {
      HICON icon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
      ::ImageList_AddIcon(images_, icon);
      if (icon) ::DestroyIcon(icon);
    }
    ::SendMessageA(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    for (int i = 0; i < 3; ++i) {
      TCITEMA item = {};
      item.mask = TCIF_IMAGE;
      item.iImage = i;
      ::SendMessageA(tabs, TCM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
  }
  return CPropertySheet::OnWndMsg(message, wParam, lParam, result);
}

}  // namespace alarms
