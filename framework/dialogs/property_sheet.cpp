#include "framework/dialogs/property_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include "framework/application.h"

namespace framework {

namespace {
// The sheet being shown on this thread, for its creation callback.
thread_local CPropertySheet* t_showing = nullptr;
}  // namespace

CPropertyPage::CPropertyPage(UINT templateId, const std::string& caption)
    : CDialog(templateId), caption_(caption) {}

CPropertyPage::CPropertyPage(const DLGTEMPLATE* dialogTemplate, const std::string& caption)
    : CDialog(dialogTemplate), caption_(caption) {}

INT_PTR CALLBACK CPropertyPage::StaticPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CPropertyPage* self = nullptr;
  if (message == WM_INITDIALOG) {
    const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    self = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
    if (self) self->Attach(hwnd);
  } else {
    self = static_cast<CPropertyPage*>(FromHandle(hwnd));
  }
  if (!self) return FALSE;
  return DialogMessage(self, hwnd, message, wParam, lParam);
}

bool CPropertyPage::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_NOTIFY) {
    const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (nm && nm->hwndFrom == ::GetParent(GetSafeHwnd())) {
      switch (nm->code) {
        case PSN_SETACTIVE:
          *result = OnSetActive() ? 0 : -1;
          return true;
        case PSN_KILLACTIVE:
          *result = OnKillActive() ? FALSE : TRUE;  // TRUE keeps the page
          return true;
        case PSN_APPLY:
          OnOK();
          *result = PSNRET_NOERROR;
          return true;
        case PSN_RESET:
          OnCancel();
          *result = 0;
          return true;
        case PSN_WIZNEXT:
          *result = OnWizardNext();
          return true;
        case PSN_WIZBACK:
          *result = OnWizardBack();
          return true;
        case PSN_WIZFINISH:
          *result = OnWizardFinish() ? FALSE : TRUE;  // TRUE keeps the sheet
          return true;
        case PSN_HELP:
          ShowHelp();
          *result = 0;
          return true;
        default:
          break;
      }
    }
  }
  return CDialog::OnWndMsg(message, wParam, lParam, result);
}

CPropertySheet::CPropertySheet(const std::string& caption, HWND parent, UINT startPage)
    : caption_(caption), parent_(parent), startPage_(startPage) {}

void CPropertySheet::AddPage(CPropertyPage* page) {
  page->sheet_ = this;
  pages_.push_back(page);
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (!GetSafeHwnd()) return nullptr;
  HWND h = reinterpret_cast<HWND>(SendMsg(PSM_GETCURRENTPAGEHWND));
  return static_cast<CPropertyPage*>(FromHandle(h));
}

void CPropertySheet::SetWizardButtons(DWORD flags) {
  if (GetSafeHwnd()) PostMsg(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM /*lParam*/) {
  if (message == PSCB_INITIALIZED && t_showing) t_showing->SubclassWindow(hwnd);
  return 0;
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  place_.Watch(GetSafeHwnd(), message, lParam);
  if (message == WM_HELP) {
    // F1 reaches the sheet when the focus is on its tab or one of its own
    // buttons (or on a page with no control to focus): the topic is the
    // active page's. A page without one hands the request back up; it then
    // ends here instead of going round again or to the sheet's owner.
    if (forwardingHelp_) return TRUE;
    HWND page = reinterpret_cast<HWND>(SendMsg(PSM_GETCURRENTPAGEHWND));
    if (!page) return TRUE;
    forwardingHelp_ = true;
    ::SendMessageA(page, WM_HELP, wParam, lParam);
    forwardingHelp_ = false;
    return TRUE;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}

int CPropertySheet::DoModal() {
  if (pages_.empty()) return -1;
  place_ = CFirstShowPlace();
  CApplication* app = TheApp();
  HINSTANCE inst = app && app->GetInstanceHandle() ? app->GetInstanceHandle() : ::GetModuleHandleA(nullptr);
  std::vector<PROPSHEETPAGEA> psps(pages_.size());
  bool hasHelp = false;  // a Help button when any page has a topic
  for (size_t i = 0; i < pages_.size(); ++i) {
    PROPSHEETPAGEA& p = psps[i];
    p = PROPSHEETPAGEA{};
    p.dwSize = sizeof p;
    p.hInstance = inst;
    CPropertyPage* page = pages_[i];
    if (page->template_) {
      p.dwFlags |= PSP_DLGINDIRECT;
      p.pResource = page->template_;
    } else {
      p.pszTemplate = MAKEINTRESOURCEA(page->templateId_);
    }
    if (!page->caption_.empty()) {
      p.dwFlags |= PSP_USETITLE;
      p.pszTitle = page->caption_.c_str();
    }
    if (page->GetHelpContext() != -1) {
      p.dwFlags |= PSP_HASHELP;
      hasHelp = true;
    }
    p.pfnDlgProc = &CPropertyPage::StaticPageProc;
    p.lParam = reinterpret_cast<LPARAM>(page);
  }
  HWND owner = parent_;
  if (!owner && app && app->GetMainWindow()) owner = ::GetLastActivePopup(app->GetMainWindow());
  PROPSHEETHEADERA h{};
  h.dwSize = sizeof h;
  h.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOAPPLYNOW | (wizard_ ? PSH_WIZARD : 0) |
              (hasHelp ? PSH_HASHELP : 0);
  h.hwndParent = owner;
  h.hInstance = inst;
  h.pszCaption = caption_.c_str();
  h.nPages = static_cast<UINT>(psps.size());
  h.nStartPage = startPage_;
  h.ppsp = psps.data();
  h.pfnCallback = &CPropertySheet::SheetCallback;
  CPropertySheet* saved = t_showing;
  t_showing = this;
  INT_PTR r = ::PropertySheetA(&h);
  t_showing = saved;
  if (GetSafeHwnd()) UnsubclassWindow();
  if (r < 0) return -1;
  return r > 0 ? IDOK : IDCANCEL;
}

}  // namespace framework
