// CGridView: the Find dialog over the list. A pass starts at the row after
// the selected one and goes round the list once in the chosen direction;
// each hit selects its row and tells the calendars (hint 15).
#include "framework/dialogs/message_box.h"
#include "shell/event_list/find_dialog_window.h"
#include "shell/event_list/grid_view.h"
#include "shell/app/private_messages.h"

HWND CGridView::GetFindDialog() const {
  return findWindow_ && findWindow_->IsWindow() ? findWindow_->GetSafeHwnd() : nullptr;
}

void CGridView::OnSearch() {
  if (HWND open = GetFindDialog()) {
    ::ShowWindow(open, SW_SHOW);
    ::SetActiveWindow(open);
    return;
  }
  auto find = std::make_unique<framework::CFindReplaceDialog>();
  if (!find->Create("", FR_DOWN | FR_HIDEWHOLEWORD, GetSafeHwnd())) return;
  findWindow_ = std::make_unique<eventlist::CFindDialogWindow>();
  findWindow_->SubclassWindow(find->GetSafeHwnd());
  // The dialog keeps pointing at its FINDREPLACE: the old one may go only
  // now that its window is gone.
  find_ = std::move(find);
  lastText_.clear();
  lastMatchCase_ = false;
  lastDown_ = true;
  passStart_ = -1;
  passHits_ = 0;
}

LRESULT CGridView::OnFindMessage(WPARAM, LPARAM lParam) {
  const FINDREPLACEA* fr = framework::CFindReplaceDialog::FromLParam(lParam);
  if (!fr) return 0;
  if (fr->Flags & FR_DIALOGTERM) return 0;  // the window unbinds itself as it goes
  if (fr->Flags & FR_FINDNEXT)
    FindNext(fr->lpstrFindWhat ? fr->lpstrFindWhat : "", (fr->Flags & FR_DOWN) != 0, (fr->Flags & FR_MATCHCASE) != 0);
  return 0;
}

void CGridView::ShowFindMessage(const char* text) {
  framework::MessageBox(text, MB_OK | MB_ICONINFORMATION, "Search Message");
  if (HWND open = GetFindDialog()) ::SetActiveWindow(open);
  lastText_.clear();
}

void CGridView::FindNext(const std::string& text, bool down, bool matchCase) {
  const int count = static_cast<int>(rows_.size());
  if (count == 0) return;
  bool newPass = false;
  if (text != lastText_ || matchCase != lastMatchCase_) {
    lastText_ = text;
    lastMatchCase_ = matchCase;
    newPass = true;
  }
  auto step = [count, down](int row) { return down ? (row + 1) % count : (row + count - 1) % count; };
  const int selected = GetSelectedRow();
  const int row = step(selected < 0 ? 0 : selected);
  if (newPass || down != lastDown_) {
    passStart_ = row;
    passHits_ = 0;
    lastDown_ = down;
  } else if (row == passStart_) {
    ShowFindMessage("End of list reached");
    return;
  }
  int r = row;
  do {
    COccurrenceRef& occurrence = rows_[static_cast<size_t>(r)];
    if (occurrence.MatchesText(text, matchCase)) {
      SelectRowQuietly(r);
      ++passHits_;
      Send(kHintMarkInCalendar, &occurrence);
      return;
    }
    r = step(r);
  } while (r != passStart_);
  ShowFindMessage(passHits_ > 0 ? "End of list reached" : "Search string not found");
}
