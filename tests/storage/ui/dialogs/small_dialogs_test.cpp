// The small sharing dialogs: login, publish warning, refresh-delete and the
// progress window: what each gives back for each way out, and what it draws.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "storage/ui/cal_login_dlg.h"
#include "storage/ui/cal_overwrite.h"
#include "storage/ui/cal_progress.h"
#include "storage/ui/cal_refresh_delete_dlg.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;

namespace {

bool Visible(HWND dlg, int id) { return ::IsWindowVisible(::GetDlgItem(dlg, id)) != FALSE; }

// A pixel inside control `id` of the shot, `dx` from its left edge.
COLORREF PixelIn(const wintest::Shot& shot, HWND dlg, int id, int dx) {
  RECT item, win;
  ::GetWindowRect(::GetDlgItem(dlg, id), &item);
  ::GetWindowRect(dlg, &win);
  return shot.At(item.left - win.left + dx, (item.top + item.bottom) / 2 - win.top);
}

TEST(CalLoginDlg, OkTakesTheValuesCancelKeepsThem) {
  const struct {
    bool offer, ok;
    int remember;
  } cases[] = {{true, true, 0}, {false, true, 1}, {true, false, 1}};
  for (const auto& c : cases) {
    CCalLoginDlg dlg;
    dlg.userName = "old";
    dlg.password = "oldpw";
    dlg.remember = 1;
    dlg.offerRemember = c.offer;
    std::string user, password;
    bool rememberShown = false, rememberEnabled = false;
    Drive({[&] {
      HWND h = FindDialog("Almacora - Calendar Login");
      if (!h) return false;
      user = ItemText(h, IDC_CAL_USER);
      password = ItemText(h, IDC_CAL_PASSWORD);
      rememberShown = Visible(h, IDC_LOGIN_REMEMBER);
      rememberEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_LOGIN_REMEMBER)) != FALSE;
      ::SetDlgItemTextA(h, IDC_CAL_USER, "user");
      ::SetDlgItemTextA(h, IDC_CAL_PASSWORD, "pass");
      ::CheckDlgButton(h, IDC_LOGIN_REMEMBER, c.remember ? BST_CHECKED : BST_UNCHECKED);
      Click(h, c.ok ? IDOK : IDCANCEL);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), c.ok ? IDOK : IDCANCEL);
    EXPECT_EQ(user, "old");
    EXPECT_EQ(password, "oldpw");
    EXPECT_EQ(rememberShown, c.offer);
    EXPECT_EQ(rememberEnabled, c.offer);
    EXPECT_EQ(dlg.userName, c.ok ? "user" : "old");
    EXPECT_EQ(dlg.password, c.ok ? "pass" : "oldpw");
    EXPECT_EQ(dlg.remember, c.ok ? c.remember : 1);
  }
}

TEST(CalOverwrite, EachButtonItsResult) {
  const struct {
    int button, result;
  } cases[] = {{IDC_OVERWRITE_REFRESH_FIRST, 2001}, {IDC_OVERWRITE_OVERWRITE, 2000}, {IDCANCEL, IDCANCEL}};
  for (const auto& c : cases) {
    CCalOverwrite dlg;
    Drive({[&] {
      HWND h = FindDialog("Calendar Publish Warning");
      if (!h) return false;
      Click(h, c.button);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), c.result);
  }
}

TEST(CalRefreshDeleteDlg, TickedItemsComeBackCancelTicksNone) {
  for (bool deleteSelected : {true, false}) {
    CCalRefreshDeleteDlg dlg;
    dlg.items = {{"u1", "Dentist"}, {"u2", "Birthday Ann"}, {"u3", "Holiday"}};
    std::vector<bool> shownTicked;
    std::string firstName;
    Drive({[&] {
      HWND h = FindDialog("Calendar Refresh - Delete Events");
      if (!h) return false;
      HWND list = ::GetDlgItem(h, IDC_REFRESH_DELETE_LIST);
      for (int i = 0; i < ListView_GetItemCount(list); ++i) shownTicked.push_back(ListView_GetCheckState(list, i) != 0);
      char text[64] = "";
      ListView_GetItemText(list, 1, 0, text, sizeof text);
      firstName = text;
      ListView_SetCheckState(list, 1, FALSE);
      Click(h, deleteSelected ? IDOK : IDCANCEL);
      return true;
    }});
    EXPECT_EQ(dlg.DoModal(), deleteSelected ? IDOK : IDCANCEL);
    EXPECT_EQ(shownTicked, std::vector<bool>(3, true));
    EXPECT_EQ(firstName, "Birthday Ann");
    const std::vector<bool> expected = deleteSelected ? std::vector<bool>{true, false, true} : std::vector<bool>(3, false);
    EXPECT_EQ(dlg.ticked, expected);
  }
}

TEST(SharingDialogs, Screenshots) {
  // Each dialog as the user meets it.
  {
    CCalLoginDlg dlg;
    dlg.userName = "user";
    wintest::Shot shot;
    COLORREF edit = 0;
    Drive({[&] {
      HWND h = FindDialog("Almacora - Calendar Login");
      if (!h) return false;
      shot = wintest::TakeShot(h, "login");
      edit = PixelIn(shot, h, IDC_CAL_PASSWORD, 60);
      Click(h, IDCANCEL);
      return true;
    }});
    dlg.DoModal();
    EXPECT_EQ(edit, RGB(255, 255, 255));
  }
  {
    CCalOverwrite dlg;
    wintest::Shot shot;
    COLORREF face = 0;
    Drive({[&] {
      HWND h = FindDialog("Calendar Publish Warning");
      if (!h) return false;
      shot = wintest::TakeShot(h, "overwrite");
      face = PixelIn(shot, h, IDCANCEL, 4);
      Click(h, IDCANCEL);
      return true;
    }});
    dlg.DoModal();
    EXPECT_EQ(face, ::GetSysColor(COLOR_BTNFACE));
  }
  {
    CCalRefreshDeleteDlg dlg;
    dlg.items = {{"u1", "Dentist"}, {"u2", "Birthday Ann"}};
    wintest::Shot shot;
    COLORREF listBack = 0;
    Drive({[&] {
      HWND h = FindDialog("Calendar Refresh - Delete Events");
      if (!h) return false;
      shot = wintest::TakeShot(h, "refresh-delete");
      RECT list, win;
      ::GetWindowRect(::GetDlgItem(h, IDC_REFRESH_DELETE_LIST), &list);
      ::GetWindowRect(h, &win);
      listBack = shot.At(list.right - win.left - 30, list.bottom - win.top - 6);
      Click(h, IDCANCEL);
      return true;
    }});
    dlg.DoModal();
    EXPECT_EQ(listBack, RGB(255, 255, 255));
  }
}

// The progress window is used by the transfer until the work is over: the
// close box and Escape do nothing before then.
TEST(CalProgress, ClosesOnlyOnceTheWorkIsOver) {
  CCalProgress* window = CCalProgress::Open("Refreshing Family");
  ASSERT_NE(window, nullptr);
  HWND h = window->GetSafeHwnd();
  window->SetSteps(5);
  window->Step(3, "Reading Calendar...");
  EXPECT_EQ(::SendDlgItemMessageA(h, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 3);
  EXPECT_EQ(::SendDlgItemMessageA(h, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0), 5);
  ::SendMessageA(h, WM_CLOSE, 0, 0);
  ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0);
  ::SendMessageA(h, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(::IsWindow(h));
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDOK)));
  window->Step(5, "Refresh Complete...");
  window->ShowResult("Refresh Results\nAdded: 1   Updated: 1   Deleted:  1");
  window->SetTitle("Publishing Family");
  window->Done(false);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDOK)));
  EXPECT_EQ(wintest::ItemText(h, IDC_PROGRESS_TEXT), "Refresh Results\nAdded: 1   Updated: 1   Deleted:  1");
  char title[64] = "";
  ::GetWindowTextA(h, title, sizeof title);
  EXPECT_STREQ(title, "Publishing Family");
  wintest::Shot shot = wintest::TakeShot(h, "progress");
  ASSERT_TRUE(::IsWindow(h));
  ASSERT_GT(shot.width, 0);
  RECT bar, win;
  ::GetWindowRect(::GetDlgItem(h, IDC_PROGRESS_BAR), &bar);
  ::GetWindowRect(h, &win);
  // The full bar is drawn in the highlight colour.
  EXPECT_EQ(shot.At(bar.right - win.left - 6, (bar.top + bar.bottom) / 2 - win.top), ::GetSysColor(COLOR_HIGHLIGHT));
  ::SendMessageA(h, WM_COMMAND, IDOK, 0);  // Close frees the window
  EXPECT_FALSE(::IsWindow(h));

  CCalProgress* quick = CCalProgress::Open("Refreshing Quick");
  ASSERT_NE(quick, nullptr);
  HWND q = quick->GetSafeHwnd();
  quick->Done(true);
  EXPECT_FALSE(::IsWindow(q));
}

}  // namespace
