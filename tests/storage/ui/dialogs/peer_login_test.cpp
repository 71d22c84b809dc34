// A password the user does not want remembered stays in no file and no
// registry value: subscribe, refresh and publish against the HTTP peer with
// the real login, subscribe and publish dialogs ("Remember password" and
// "Save as Default" unticked). The subscribe dialog's Cancel ends its
// transfer to a server that never answers.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/calendar_list.h"
#include "storage/ical/ical_storage.h"
#include "storage/sharing/sharing.h"
#include "storage/sharing/transfers.h"
#include "storage/ui/cal_login_dlg.h"
#include "storage/ui/cal_publish_dlg.h"
#include "storage/ui/cal_subscribe_dlg.h"
#include "storage/ui/wininet_transport.h"
#include "tests/storage/storage_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::FindDialog;

namespace {

constexpr char kSecret[] = "Zq7-Secret";

// The program's login question is the login dialog.
class LoginPrompts : public storagetest::FakePrompts {
 public:
  int logins = 0;
  bool PromptLogin(CalendarLogin* login) override {
    ++logins;
    CCalLoginDlg dlg;
    dlg.userName = login->user;
    dlg.password = login->password;
    dlg.remember = login->remember;
    dlg.offerRemember = login->offerRemember;
    if (dlg.DoModal() != IDOK) return false;
    login->user = dlg.userName;
    login->password = dlg.password;
    login->remember = dlg.remember != 0;
    return true;
  }
};

// Answers the login dialog with user and the secret, remember unticked.
wintest::Step AnswerLogin() {
  return [] {
    HWND h = FindDialog("Almacora - Calendar Login");
    if (!h) return false;
    ::SetDlgItemTextA(h, IDC_CAL_USER, "user");
    ::SetDlgItemTextA(h, IDC_CAL_PASSWORD, kSecret);
    ::CheckDlgButton(h, IDC_LOGIN_REMEMBER, BST_UNCHECKED);
    Click(h, IDOK);
    return true;
  };
}

// Every value under the key and its sub-keys that holds `text`.
int ValuesHolding(HKEY root, const std::string& path, const std::string& text) {
  HKEY key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  int found = 0;
  char name[512];
  BYTE data[8192];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    if (std::string(reinterpret_cast<char*>(data), dataSize).find(text) != std::string::npos) ++found;
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (::RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    found += ValuesHolding(root, path + "\\" + name, text);
  }
  ::RegCloseKey(key);
  return found;
}

class PeerLogin : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    std::ifstream("http_peer.ports") >> http_;
    ASSERT_GT(http_, 0);
    storagetest::StorageTest::SetUp();
    InstallICalStorage();
    StorageServices s = Services();
    s.prompts = &loginPrompts;
    s.transport = &transport;
    scoped_ = std::make_unique<ScopedStorageServices>(s);
    CurrentTransferLimits() = TransferLimits{4u << 20, 3000, 6000};
  }
  void TearDown() override {
    CurrentTransferLimits() = TransferLimits{};
    scoped_.reset();
    storagetest::StorageTest::TearDown();
  }
  std::string Address(const std::string& path) { return "http://127.0.0.1:" + std::to_string(http_) + path; }
  // The dialog filled in for a subscription of the peer's path as `name`.
  void Fill(CCalSubscribeDlg& dlg, const std::string& path, const std::string& name) {
    dlg.address = Address(path);
    dlg.name = name;
    dlg.localFile = Path(name + ".akv");
  }

  int http_ = 0;
  LoginPrompts loginPrompts;
  CWinInetTransport transport;
  std::unique_ptr<ScopedStorageServices> scoped_;
};

TEST_F(PeerLogin, AnUnrememberedPasswordIsStoredNowhere) {
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {});
  {
    CCalSubscribeDlg dlg(doc);
    Fill(dlg, "/secret.ics", "Secret");
    wintest::Drive({[] {
                      HWND h = FindDialog("Almacora - Subscribe to Calendar");
                      if (!h) return false;
                      Click(h, IDOK);
                      return true;
                    },
                    AnswerLogin()});
    ASSERT_EQ(dlg.DoModal(), IDOK);
  }
  CCalendarFile* cal = doc.calendars().FindByName("Secret");
  ASSERT_NE(cal, nullptr);
  EXPECT_EQ(cal->password, "");

  // The system may keep the login of this run for the host and ask none.
  wintest::Drive({AnswerLogin()});
  RefreshCounts counts;
  EXPECT_TRUE(RefreshSubscription(doc, *cal, cal->address, "", true, nullptr, &counts));
  EXPECT_EQ(cal->password, "");

  {
    CCalPublishDlg dlg(doc, *cal);
    wintest::Drive({[] {
      HWND h = FindDialog("Publish Calendar");
      if (!h) return false;
      ::CheckRadioButton(h, IDC_PUB_SERVICE, IDC_PUB_WEB, IDC_PUB_WEB);
      Click(h, IDC_PUB_WEB);
      ::CheckDlgButton(h, IDC_PUB_SAVE_DEFAULT, BST_UNCHECKED);
      ::SetDlgItemTextA(h, IDC_CAL_PASSWORD, kSecret);
      Click(h, IDOK);
      return true;
    }});
    ASSERT_EQ(dlg.DoModal(), IDOK);
  }
  EXPECT_GE(loginPrompts.logins, 1);
  EXPECT_TRUE(cal->published);
  EXPECT_EQ(cal->password, "");
  g_Settings.SaveSettings();

  EXPECT_EQ(ValuesHolding(HKEY_CURRENT_USER, "Software\\Corvelle Software", kSecret), 0);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find(kSecret), std::string::npos) << entry.path();
  }
}

// Cancel while the dialog's own subscription waits on a silent server ends
// the wait at once; the dialog stays, with no calendar made and no box, its
// step saying the subscription was cancelled, and a second Cancel closes it.
TEST_F(PeerLogin, CancelInTheSubscribeDialogEndsItsTransfer) {
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {});
  CCalSubscribeDlg dlg(doc);
  Fill(dlg, "/silent/sub.ics", "Silent");
  ULONGLONG cancelled = 0, back = 0;
  std::string step;
  int bar = -1;
  auto inDialog = [](std::function<bool(HWND)> action) -> wintest::Step {
    return [action] {
      HWND h = FindDialog("Almacora - Subscribe to Calendar");
      return h != nullptr && action(h);
    };
  };
  wintest::Drive({inDialog([](HWND h) {
                    Click(h, IDOK);
                    return true;
                  }),
                  inDialog([&](HWND h) {
                    if (wintest::ItemText(h, IDC_CAL_STEP_TEXT).empty()) return false;  // not started
                    cancelled = ::GetTickCount64();
                    Click(h, IDCANCEL);
                    return true;
                  }),
                  inDialog([&](HWND h) {
                    back = ::GetTickCount64();
                    step = wintest::ItemText(h, IDC_CAL_STEP_TEXT);
                    bar = static_cast<int>(::SendDlgItemMessageA(h, IDC_SUB_PROGRESS, PBM_GETPOS, 0, 0));
                    Click(h, IDCANCEL);
                    return true;
                  })});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_TRUE(wintest::Driven());
  EXPECT_LT(back - cancelled, 1000u);
  // It ends on a step that says so, not on a full bar.
  EXPECT_EQ(step, "Refresh Cancelled: nothing was changed.");
  EXPECT_LE(bar, 1);  // the range starts at 1: empty
  EXPECT_EQ(doc.calendars().size(), 0u);
  EXPECT_TRUE(loginPrompts.texts.empty());
}

}  // namespace
