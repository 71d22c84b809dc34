#include "dialogs/options/options_types_page.h"

#include "dialogs/options/options_host.h"
#include "framework/dialogs/message_box.h"
#include "model/settings/program_settings.h"
#include "res/resource.h"

namespace options {

namespace {
const char kTooMany[] = "Cannot Add More Than 99 Event Types!";
const char kApplyQuestion[] =
    "You have made changes to the current Event Type\nbut have not applied those changes.\n\nApply changes now?";
constexpr int kHintDisplay = 11;
}  // namespace

COptionsType::COptionsType() : COptionsPage(IDD_OPTIONS_TYPES, kHelpContext) {}

FRAMEWORK_BEGIN_MESSAGE_MAP(COptionsType, COptionsPage)
  framework::OnCommand<&COptionsType::OnAdd>(IDC_TYPES_ADD),
  framework::OnCommand<&COptionsType::OnModify>(IDC_TYPES_MODIFY),
  framework::OnCommand<&COptionsType::OnDelete>(IDC_TYPES_DELETE),
  framework::OnCommand<&COptionsType::OnSetDefault>(IDC_TYPES_SET_DEFAULT),
  framework::OnCommand<&COptionsType::OnClearDefault>(IDC_TYPES_CLEAR_DEFAULT),
  framework::OnCommand<&COptionsType::OnTypeColor>(IDC_TYPES_COLOR),
  framework::OnCommand<&COptionsType::OnBlankColor>(IDC_TYPES_BLANK_COLOR),
  framework::OnControl<&COptionsType::OnNameChange>(EN_CHANGE, IDC_TYPES_NAME),
  framework::OnMessage<&COptionsType::OnRowChanged>(WM_TYPEROWCHANGED),
  framework::OnWmCtlColor<&COptionsType::OnCtlColor>(WM_CTLCOLOREDIT),
FRAMEWORK_END_MESSAGE_MAP()

BOOL COptionsType::OnInitDialog() {
  COptionsPage::OnInitDialog();
  grid_.Attach(GetSafeHwnd(), IDC_TYPES_GRID);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_TYPES_NAME, EM_LIMITTEXT, 39, 0);
  rows_.Load(g_Settings.EventTypeNames, g_Settings.EventTypeColors, g_Settings.DefaultType);
  grid_.ShowRows(rows_.rows);
  if (rows_.Count() > 0) {
    grid_.SelectRow(0);
    ShowDefault();
  } else {
    EnableItem(IDC_TYPES_DELETE, false);
    EnableItem(IDC_TYPES_SET_DEFAULT, false);
  }
  EnableItem(IDC_TYPES_ADD, false);
  EnableItem(IDC_TYPES_MODIFY, false);
  blankColor_ = static_cast<COLORREF>(g_Settings.BlankTypeColor);
  typePicture_.Show(GetSafeHwnd(), IDC_TYPES_COLOR, currentColor_);
  blankPicture_.Show(GetSafeHwnd(), IDC_TYPES_BLANK_COLOR, blankColor_);
  return TRUE;
}

void COptionsType::ShowDefault() {
  int d = rows_.defaultRow;
  SetItemText(IDC_TYPES_DEFAULT, d >= 0 && d < rows_.Count() ? rows_.rows[static_cast<size_t>(d)].name : "");
}

void COptionsType::ShowRowsAndSelect(int row) {
  grid_.ShowRows(rows_.rows);
  grid_.SelectRow(row);
}

LRESULT COptionsType::OnRowChanged(WPARAM, LPARAM) {
  int r = grid_.CurrentRow();
  if (r < 0 || r >= rows_.Count()) return 0;
  SetItemText(IDC_TYPES_NAME, rows_.rows[static_cast<size_t>(r)].name);
  EnableItem(IDC_TYPES_MODIFY, false);
  EnableItem(IDC_TYPES_ADD, false);
  currentColor_ = rows_.rows[static_cast<size_t>(r)].color;
  typePicture_.Show(GetSafeHwnd(), IDC_TYPES_COLOR, currentColor_);
  ::InvalidateRect(GetItem(IDC_TYPES_NAME), nullptr, TRUE);
  return 0;
}

void COptionsType::OnNameChange() {
  bool empty = ItemText(IDC_TYPES_NAME).empty();
  EnableItem(IDC_TYPES_ADD, !empty);
  EnableItem(IDC_TYPES_MODIFY, !empty && rows_.Count() > 0);
}

HBRUSH COptionsType::OnCtlColor(HDC dc, HWND) {
  // The name being edited shows in the colour it will get.
  ::SetTextColor(dc, currentColor_);
  ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
  return ::GetSysColorBrush(COLOR_WINDOW);
}

void COptionsType::OnTypeColor() {
  COLORREF color = currentColor_;
  if (OptionsHost().PickColor(GetSafeHwnd(), &color)) {
    currentColor_ = color;
    typePicture_.Show(GetSafeHwnd(), IDC_TYPES_COLOR, currentColor_);
  }
  EnableItem(IDC_TYPES_MODIFY, rows_.Count() > 0);
  SetItemText(IDC_TYPES_NAME, ItemText(IDC_TYPES_NAME));
}

void COptionsType::OnBlankColor() {
  COLORREF color = blankColor_;
  if (!OptionsHost().PickColor(GetSafeHwnd(), &color)) return;
  blankColor_ = color;
  blankPicture_.Show(GetSafeHwnd(), IDC_TYPES_BLANK_COLOR, blankColor_);
}

void COptionsType::OnAdd() {
  int at = rows_.Add(ItemText(IDC_TYPES_NAME), currentColor_);
  if (at < 0) {
    framework::MessageBox(kTooMany, MB_OK | MB_ICONINFORMATION, "Almacora");
    return;
  }
  ShowRowsAndSelect(at);
  SetItemText(IDC_TYPES_NAME, "");
  EnableItem(IDC_TYPES_ADD, false);
  EnableItem(IDC_TYPES_MODIFY, false);
  EnableItem(IDC_TYPES_DELETE, true);
  EnableItem(IDC_TYPES_SET_DEFAULT, true);
}

void COptionsType::OnModify() {
  int r = grid_.CurrentRow();
  bool wasDefault = r >= 0 && r == rows_.defaultRow;
  int at = rows_.Modify(r, ItemText(IDC_TYPES_NAME), currentColor_);
  if (at < 0) return;
  ShowRowsAndSelect(at);
  SetItemText(IDC_TYPES_NAME, "");
  if (wasDefault) ShowDefault();
  EnableItem(IDC_TYPES_ADD, false);
  EnableItem(IDC_TYPES_MODIFY, false);
}

void COptionsType::OnDelete() {
  int r = grid_.CurrentRow();
  if (r < 0) return;
  bool wasDefault = r == rows_.defaultRow;
  int next = rows_.Delete(r);
  grid_.ShowRows(rows_.rows);
  if (next >= 0) {
    grid_.SelectRow(next);
  } else {
    EnableItem(IDC_TYPES_DELETE, false);
    EnableItem(IDC_TYPES_SET_DEFAULT, false);
  }
  SetItemText(IDC_TYPES_NAME, "");
  if (wasDefault) SetItemText(IDC_TYPES_DEFAULT, "");
}

void COptionsType::OnSetDefault() {
  int r = grid_.CurrentRow();
  if (r < 0) return;
  rows_.defaultRow = r;
  ShowDefault();
}

void COptionsType::OnClearDefault() {
  rows_.defaultRow = -1;
  SetItemText(IDC_TYPES_DEFAULT, "");
}

BOOL COptionsType::OnKillActive() {
  if (::IsWindowEnabled(GetItem(IDC_TYPES_MODIFY)) &&
      framework::MessageBox(kApplyQuestion, MB_YESNO | MB_ICONQUESTION, "Almacora") == IDYES)
    OnModify();
  return COptionsPage::OnKillActive();
}

void COptionsType::OnOK() {
  rows_.Store(&g_Settings.EventTypeNames, &g_Settings.EventTypeColors, &g_Settings.DefaultType);
  g_Settings.BlankTypeColor = static_cast<int32_t>(blankColor_);
  OptionsHost().UpdateAllViews(kHintDisplay);
}

}  // namespace options
