#include "dialogs/options/filter_dlg.h"

#include "dialogs/core/filter_rules.h"
#include "dialogs/small/help_hook.h"
#include "dialogs/options/options_host.h"
#include "framework/dialogs/data_exchange.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/almacora_doc.h"

namespace options {

namespace {
constexpr int kHintReload = 3;
}  // namespace

CFilterDlg::CFilterDlg(HWND parent) : CDialog(IDD_FILTER, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CFilterDlg, framework::CDialog)
  framework::OnCommand<&CFilterDlg::OnShowAll>(IDC_FILTER_SHOW_ALL),
  framework::OnCommand<&CFilterDlg::OnShowNone>(IDC_FILTER_SHOW_NONE),
  framework::OnCommand<&CFilterDlg::OnHelpButton>(IDC_OPT_HELP),
  framework::OnMessage<&CFilterDlg::OnHelpKey>(WM_HELP),
FRAMEWORK_END_MESSAGE_MAP()

BOOL CFilterDlg::OnInitDialog() {
  grid_.Attach(GetSafeHwnd(), IDC_FILTER_GRID);
  if (CAlmacoraDoc* doc = OptionsHost().Document()) {
    doc->RebuildTypeList();
    grid_.Fill(doc->typeNames, doc->typeFlags);
  }
  reapply = g_Settings.StartupFilter.empty() ? 0 : 1;
  return CDialog::OnInitDialog();
}

void CFilterDlg::DoDataExchange(framework::CDataExchange& dx) {
  framework::ExchangeCheck(dx, IDC_FILTER_REAPPLY, reapply);
}

void CFilterDlg::OnShowAll() {
  for (int r = 0; r < grid_.GetRowCount(); ++r) grid_.SetShown(r, 1);
}

void CFilterDlg::OnShowNone() {
  for (int r = 0; r < grid_.GetRowCount(); ++r) grid_.SetShown(r, 0);
}

void CFilterDlg::OnOK() {
  if (!UpdateData(true)) return;
  CAlmacoraDoc* doc = OptionsHost().Document();
  if (doc) {
    doc->typeFlags.resize(doc->typeNames.size(), 1);
    for (int r = 0; r < grid_.GetRowCount() && r < static_cast<int>(doc->typeFlags.size()); ++r)
      doc->typeFlags[static_cast<size_t>(r)] = grid_.Shown(r);
    int on = 0;
    g_Settings.StartupFilter = JoinStartupFilter(doc->typeNames, doc->typeFlags, reapply != 0, &on);
    doc->filterOn = on;
  } else {
    g_Settings.StartupFilter.clear();
  }
  g_Settings.WriteString("StartupFilter", g_Settings.StartupFilter);
  OptionsHost().UpdateFilterMenu();
  OptionsHost().UpdateAllViews(kHintReload);
  EndDialog(IDOK);
}

void CFilterDlg::OnHelpButton() { dialogs::ShowHelpTopic(kHelpContext); }

LRESULT CFilterDlg::OnHelpKey(WPARAM, LPARAM) {
  dialogs::ShowHelpTopic(kHelpContext);
  return TRUE;
}

int RunFilterDialog(HWND parent) {
  CFilterDlg dlg(parent);
  return dlg.DoModal();
}

}  // namespace options
