#include "tests/dialogs/options/options_fixture.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

#include "dialogs/small/help_hook.h"
#include "tests/support/win/dialog_driver.h"

std::vector<DWORD> g_helpTopics;

namespace {
void RecordHelp(DWORD context) { g_helpTopics.push_back(context); }
}  // namespace

bool FakeOptionsHost::PickFont(HWND, LOGFONTA* font, int* tenths) {
  if (fonts.empty()) return false;
  FontAnswer a = fonts.front();
  fonts.pop_front();
  if (!a.ok) {
    font->lfHeight = 999;  // a cancelled dialog may leave anything behind
    return false;
  }
  std::strncpy(font->lfFaceName, a.face, LF_FACESIZE - 1);
  font->lfHeight = -13;
  font->lfWeight = a.weight;
  font->lfItalic = static_cast<BYTE>(a.italic);
  *tenths = a.tenths;
  return true;
}

bool FakeOptionsHost::PickColor(HWND, COLORREF* color) {
  if (colors.empty()) return false;
  *color = colors.front();
  colors.pop_front();
  return true;
}

void OptionsTest::SetUp() {
  profile.reset(new platform::ProfileStore(platform::ProfileStore::ScratchLocation("options")));
  profile->Clear();
  g_Settings.SetProfile(profile.get());
  g_Settings.LoadSettings();
  previousHost = options::SetOptionsHost(&host);
  dialogs::SetHelpTopicHook(&RecordHelp);
  g_helpTopics.clear();
}

void OptionsTest::TearDown() {
  dialogs::SetHelpTopicHook(nullptr);
  options::SetOptionsHost(previousHost);
  profile->Clear();
  g_Settings.SetProfile(nullptr);
}

std::unique_ptr<CProgramSettings> OptionsTest::Restart() {
  std::unique_ptr<CProgramSettings> s(new CProgramSettings());
  s->SetProfile(profile.get());
  s->LoadSettings();
  return s;
}

int OptionsTest::StoredInt(const char* key, int missing) {
  return profile->GetInt(CProgramSettings::kSection, key, missing);
}

std::string OptionsTest::StoredText(const char* key) {
  return profile->GetString(CProgramSettings::kSection, key, "<missing>");
}

HWND OptionsSheet() { return wintest::FindDialog("Options"); }

HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

void SelectPage(HWND sheet, int index) { ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0); }

void SetText(HWND page, int id, const char* text) { ::SetDlgItemTextA(page, id, text); }

void SetCheck(HWND page, int id, bool on) {
  ::SendDlgItemMessageA(page, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }

std::string AnswerBox(HWND owner, int button, std::string* caption) {
  HWND box = wintest::PopupOf(owner);
  if (!box) return std::string();
  std::string text = wintest::ItemText(box, 0xFFFF);
  if (caption) {
    char c[128] = "";
    ::GetWindowTextA(box, c, sizeof c);
    *caption = c;
  }
  ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  return text.empty() ? std::string(" ") : text;
}
