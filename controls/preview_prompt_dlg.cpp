#include "controls/preview_prompt_dlg.h"

#include "res/resource.h"

namespace shellcontrols {

CPreviewPromptDlg::CPreviewPromptDlg(HWND parent) : CDialog(IDD_PREVIEW_PROMPT, parent) {}

}  // namespace shellcontrols
