// What the options dialogs' tests share: a scratch profile that g_Settings
// loads from (a fresh CProgramSettings on it stands for the next start), a
// host that records what the dialogs ask and answers from a script, the
// help topics shown, and small steps for driving the sheet.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/options/options_host.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"

struct FontAnswer {
  bool ok;
  const char* face;
  int tenths, weight, italic;
};

class FakeOptionsHost : public options::IOptionsHost {
 public:
  std::vector<int> hints;
  CAlmacoraDoc* doc = nullptr;
  int placements = 0, reminderClears = 0, filterMenus = 0;
  std::vector<std::string> sounds;
  bool soundPlays = true;
  std::deque<FontAnswer> fonts;
  std::deque<COLORREF> colors;  // each an OK with that colour; none left: Cancel
  std::vector<std::string> pickPrompts;
  int pickAnswer = -1;  // -1: the picker is cancelled

  void UpdateAllViews(int hint) override { hints.push_back(hint); }
  CAlmacoraDoc* Document() override { return doc; }
  void SaveWindowPlacement() override {
    ++placements;
    g_Settings.WinPosX = 77;
  }
  void ClearDailyReminderGiven() override { ++reminderClears; }
  void UpdateFilterMenu() override { ++filterMenus; }
  bool PickCalendar(HWND, const std::string& prompt, const std::string& button, int* id) override {
    pickPrompts.push_back(prompt + "|" + button);
    if (pickAnswer < 0) return false;
    *id = pickAnswer;
    return true;
  }
  bool PickFont(HWND, LOGFONTA* font, int* tenths) override;
  bool PickColor(HWND, COLORREF* color) override;
  bool ChooseOpenFile(HWND, const std::string&, const std::string&, const std::string&, DWORD,
                      std::string*) override {
    return false;
  }
  bool PlaySoundFile(const std::string& path) override {
    sounds.push_back(path);
    return soundPlays;
  }
};

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The settings as the next start finds them.
  std::unique_ptr<CProgramSettings> Restart();
  int StoredInt(const char* key, int missing = -12345);
  std::string StoredText(const char* key);

  FakeOptionsHost host;
  std::unique_ptr<platform::ProfileStore> profile;
  options::IOptionsHost* previousHost = nullptr;
};

extern std::vector<DWORD> g_helpTopics;

// The Options sheet once it is up, its current page, a page change.
HWND OptionsSheet();
HWND CurrentPage(HWND sheet);
void SelectPage(HWND sheet, int index);
void SetText(HWND page, int id, const char* text);
void SetCheck(HWND page, int id, bool on);
bool IsChecked(HWND page, int id);
// The message box over `owner`: its text (and caption), then OK or the
// given button pressed. Empty while there is none.
std::string AnswerBox(HWND owner, int button = IDOK, std::string* caption = nullptr);
