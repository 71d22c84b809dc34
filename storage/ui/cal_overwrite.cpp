#include "storage/ui/cal_overwrite.h"

#include "res/resource.h"

CCalOverwrite::CCalOverwrite(HWND parent) : CDialog(IDD_CAL_OVERWRITE, parent) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(CCalOverwrite, framework::CDialog)
  framework::OnCommand<&CCalOverwrite::OnRefreshFirst>(IDC_OVERWRITE_REFRESH_FIRST),
  framework::OnCommand<&CCalOverwrite::OnOverwrite>(IDC_OVERWRITE_OVERWRITE),
  // Enter is the default button's: refresh first.
  framework::OnCommand<&CCalOverwrite::OnRefreshFirst>(IDOK),
FRAMEWORK_END_MESSAGE_MAP()
