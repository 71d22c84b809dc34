// New Calendar, Subscribe and Publish over a scripted network: the fields
// they propose, the checks that keep them open, and what the calendar list,
// the calendar and the settings hold afterwards.
#include <windows.h>
// The calendar file's CreateFile, not the system's macro.
#undef CreateFile

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/settings/program_settings.h"
#include "res/resource.h"
#include "storage/calendar_list.h"
#include "storage/ui/cal_new_dlg.h"
#include "storage/ui/cal_publish_dlg.h"
#include "storage/ui/cal_subscribe_dlg.h"
#include "tests/storage/sharing/sharing_fixture.h"
#include "tests/support/win/dialog_driver.h"

using wintest::Click;
using wintest::Drive;
using wintest::FindDialog;
using wintest::ItemText;
using wintest::Step;

namespace {

// Waits for the box over the dialog, keeps its text (its static is 0xFFFF)
// and presses `button`.
Step AnswerBox(const char* caption, std::string* text, int button = IDOK) {
  return [=] {
    HWND h = FindDialog(caption);
    HWND box = h ? wintest::PopupOf(h) : nullptr;
    if (!box) return false;
    *text = ItemText(box, 0xFFFF);
    Click(box, button);
    return true;
  };
}

Step Do(const char* caption, std::function<void(HWND)> action) {
  return [=] {
    HWND h = FindDialog(caption);
    if (!h || wintest::PopupOf(h)) return false;
    action(h);
    return true;
  };
}

bool ReadOnly(HWND dlg, int id) { return (::GetWindowLongA(::GetDlgItem(dlg, id), GWL_STYLE) & ES_READONLY) != 0; }

COLORREF PixelIn(const wintest::Shot& shot, HWND dlg, int id, int dx) {
  RECT item, win;
  ::GetWindowRect(::GetDlgItem(dlg, id), &item);
  ::GetWindowRect(dlg, &win);
  return shot.At(item.left - win.left + dx, (item.top + item.bottom) / 2 - win.top);
}

class CalendarDialogs : public sharingtest::SharingTest {
 protected:
  void SetUp() override {
    sharingtest::SharingTest::SetUp();
    storagetest::StartOn(&doc, {});
  }
  CAlmacoraDoc doc;
};

constexpr char kNew[] = "New Calendar";

TEST_F(CalendarDialogs, NewCalendarProposesChecksAndCreates) {
  const std::string path = Path("family.akv");
  const std::string other = NewCalendarFile("other.akv");
  std::string emptyBox, proposed;
  {
    CCalNewDlg dlg(doc);
    wintest::Shot shot;
    COLORREF edit = 0;
    Drive({Do(kNew, [](HWND h) { Click(h, IDOK); }), AnswerBox(kNew, &emptyBox),
           Do(kNew,
              [&](HWND h) {
                ::SetDlgItemTextA(h, IDC_CAL_NAME, "Family");
                proposed = ItemText(h, IDC_CAL_FILE);
                ::SetDlgItemTextA(h, IDC_CAL_FILE, path.c_str());
                shot = wintest::TakeShot(h, "new-calendar");
                edit = PixelIn(shot, h, IDC_CAL_NAME, 100);
                Click(h, IDOK);
              })});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(edit, RGB(255, 255, 255));
  }
  EXPECT_EQ(emptyBox, "Please enter calendar name");
  EXPECT_EQ(proposed, "Family.akv");
  CCalendarFile* family = doc.calendars().FindByName("Family");
  ASSERT_NE(family, nullptr);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(shell.hints.back(), 3);

  // A name in use, the file of a listed calendar, an existing file refused:
  // each keeps the dialog open; then Cancel.
  std::string inUse, listedFile, exists;
  CCalNewDlg dlg(doc);
  Drive({Do(kNew,
            [&](HWND h) {
              ::SetDlgItemTextA(h, IDC_CAL_NAME, "Family");
              Click(h, IDOK);
            }),
         AnswerBox(kNew, &inUse),
         Do(kNew,
            [&](HWND h) {
              ::SetDlgItemTextA(h, IDC_CAL_NAME, "Second");
              ::SetDlgItemTextA(h, IDC_CAL_FILE, path.c_str());
              Click(h, IDOK);
            }),
         AnswerBox(kNew, &listedFile),
         Do(kNew,
            [&](HWND h) {
              ::SetDlgItemTextA(h, IDC_CAL_FILE, other.c_str());
              Click(h, IDOK);
            }),
         AnswerBox(kNew, &exists, IDNO), Do(kNew, [](HWND h) { Click(h, IDCANCEL); })});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(inUse, "Calendar Name is already in use.  Please enter a different calendar name.");
  EXPECT_EQ(listedFile, "This file is already open.");
  EXPECT_EQ(exists, "File already exists.  Do you want to replace it?");
  EXPECT_EQ(doc.calendars().size(), 1u);
}

TEST_F(CalendarDialogs, NewCalendarEditRenames) {
  std::string path = NewCalendarFile("work.akv");
  ASSERT_TRUE(doc.OpenEventFile(path, false));
  CCalendarFile* work = doc.calendars().FindByPath(path);
  ASSERT_NE(work, nullptr);
  CCalNewDlg dlg(doc);
  dlg.SetCalendar(work);
  bool fileReadOnly = false, browseEnabled = true;
  Drive({Do("Edit Calendar", [&](HWND h) {
    fileReadOnly = ReadOnly(h, IDC_CAL_FILE);
    browseEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_CAL_BROWSE)) != FALSE;
    ::SetDlgItemTextA(h, IDC_CAL_NAME, "Office");
    Click(h, IDOK);
  })}, 10000);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(fileReadOnly);
  EXPECT_FALSE(browseEnabled);
  EXPECT_EQ(work->name, "Office");
  EXPECT_EQ(work->path, path);
}

constexpr char kSubscribe[] = "Almacora - Subscribe to Calendar";

TEST_F(CalendarDialogs, SubscribeNamesFromTheAddressAndShowsProgress) {
  net.replies.push_back({});
  net.replies.back().body = sharingtest::Calendar({{"a", "Alpha"}, {"b", "Beta"}});
  std::string path = NewCalendarFile("taken.akv");
  ASSERT_TRUE(doc.OpenEventFile(path, false));
  doc.calendars().FindByPath(path)->name = "My Dates";

  CCalSubscribeDlg dlg(doc);
  dlg.address = "http://h/cals/My-Dates.ics";
  std::string inUse, proposedFile, okText, optional;
  bool barShown = false;
  wintest::Shot shot;
  COLORREF edit = 0;
  Drive({Do(kSubscribe,
            [&](HWND h) {
              barShown = ::IsWindowVisible(::GetDlgItem(h, IDC_SUB_PROGRESS)) != FALSE;
              optional = ItemText(h, IDC_SUB_NOTE_OPTIONAL);
              Click(h, IDOK);
            }),
         AnswerBox(kSubscribe, &inUse),
         Do(kSubscribe,
            [&](HWND h) {
              proposedFile = ItemText(h, IDC_CAL_FILE);
              okText = ItemText(h, IDOK);
              ::SetDlgItemTextA(h, IDC_CAL_NAME, "");
              ::SetDlgItemTextA(h, IDC_CAL_ADDRESS, "http://h/cals/Club-Days.ics");
              ::SetDlgItemTextA(h, IDC_CAL_FILE, Path("club.akv").c_str());
              shot = wintest::TakeShot(h, "subscribe");
              edit = PixelIn(shot, h, IDC_CAL_USER, 60);
              Click(h, IDOK);
            })});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(barShown);
  EXPECT_EQ(optional, "(values below are optional)");
  EXPECT_EQ(inUse, "Calendar Name is already in use.  Please enter a different calendar name.");
  EXPECT_EQ(proposedFile, "My Dates.akv");
  EXPECT_EQ(okText, "Subscribe");
  EXPECT_EQ(edit, RGB(255, 255, 255));
  CCalendarFile* club = doc.calendars().FindByName("Club Days");
  ASSERT_NE(club, nullptr);
  EXPECT_EQ(club->nameFromPath, 1);
  EXPECT_TRUE(club->subscribed);
  ASSERT_EQ(net.seen.size(), 1u);
  EXPECT_NE(doc.FindEventByUid("b", club), nullptr);
}

TEST_F(CalendarDialogs, PreviewThenSubscribeKeepsTheCalendar) {
  for (int i = 0; i < 2; ++i) {
    net.replies.push_back({});
    net.replies.back().body = sharingtest::Calendar({{"p", "Parade"}});
  }
  {
    CCalSubscribeDlg dlg(doc);
    dlg.address = "http://h/Parades.ics";
    Drive({Do(kSubscribe, [](HWND h) { Click(h, IDC_SUB_PREVIEW); })});
    EXPECT_EQ(dlg.DoModal(), IDOK);
  }
  CCalendarFile* preview = doc.calendars().FindByName("Parades");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->openState, CCalendarFile::kPreview);
  const int id = preview->listId;
  {
    CCalSubscribeDlg dlg(doc);
    dlg.SetCalendar(preview);
    std::string okText;
    Drive({Do(kSubscribe, [&](HWND h) {
      okText = ItemText(h, IDOK);
      ::SetDlgItemTextA(h, IDC_CAL_FILE, Path("parades.akv").c_str());
      Click(h, IDOK);
    })});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(okText, "Subscribe");
  }
  EXPECT_EQ(doc.calendars().size(), 1u);
  EXPECT_EQ(doc.calendars().FindById(id), preview);
  EXPECT_EQ(preview->openState, CCalendarFile::kOpen);
  EXPECT_TRUE(preview->subscribed);
  EXPECT_TRUE(std::filesystem::exists(Path("parades.akv")));
}

TEST_F(CalendarDialogs, SubscribeEditsAPublishedCalendar) {
  std::string path = NewCalendarFile("pub.akv");
  ASSERT_TRUE(doc.OpenEventFile(path, false));
  CCalendarFile* cal = doc.calendars().FindByPath(path);
  cal->name = "Pub";
  cal->address = "http://h/pub.ics";
  cal->subscribed = 1;
  cal->published = 1;
  cal->publishAfterSave = 1;
  CCalSubscribeDlg dlg(doc);
  dlg.SetCalendar(cal);
  std::string okText;
  bool addressReadOnly = false, previewEnabled = true, autoShown = false, searchEnabled = true;
  Drive({Do(kSubscribe, [&](HWND h) {
    okText = ItemText(h, IDOK);
    addressReadOnly = ReadOnly(h, IDC_CAL_ADDRESS) && ReadOnly(h, IDC_CAL_FILE);
    previewEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SUB_PREVIEW)) != FALSE;
    searchEnabled = ::IsWindowEnabled(::GetDlgItem(h, IDC_SUB_SEARCH)) != FALSE;
    autoShown = ::IsWindowVisible(::GetDlgItem(h, IDC_CAL_PUBLISH_AUTO)) != FALSE;
    ::SetDlgItemTextA(h, IDC_CAL_NAME, "Pub Renamed");
    ::CheckDlgButton(h, IDC_CAL_PUBLISH_AUTO, BST_UNCHECKED);
    Click(h, IDOK);
  })});
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(okText, "OK");
  EXPECT_TRUE(addressReadOnly);
  EXPECT_FALSE(previewEnabled);
  EXPECT_FALSE(searchEnabled);
  EXPECT_TRUE(autoShown);
  // Its own name and address do not count as in use.
  EXPECT_EQ(cal->name, "Pub Renamed");
  EXPECT_EQ(cal->publishAfterSave, 0);
  EXPECT_TRUE(net.seen.empty());
}

constexpr char kPublish[] = "Publish Calendar";

TEST_F(CalendarDialogs, PublishTargetsAddressesAndChecks) {
  CCalendarFile* cal = new CCalendarFile();
  cal->name = "Old";
  cal->address = "ftp://host/cal/Old.ics";
  cal->fileType = CCalendarFile::kMemoryOnly;
  doc.calendars().AddCalendar(cal);
  CCalPublishDlg dlg(doc, *cal);
  EXPECT_EQ(dlg.target, CCalPublishDlg::kWebServer);
  EXPECT_EQ(dlg.webUrl, "ftp://host/cal");
  std::string web, service, noUser;
  Drive({Do(kPublish,
            [&](HWND h) {
              ::SetDlgItemTextA(h, IDC_CAL_NAME, "My Family Dates");
              web = ItemText(h, IDC_CAL_ADDRESS);
              ::CheckRadioButton(h, IDC_PUB_SERVICE, IDC_PUB_WEB, IDC_PUB_SERVICE);
              Click(h, IDC_PUB_SERVICE);
            }),
         Do(kPublish,
            [&](HWND h) {
              ::SetDlgItemTextA(h, IDC_CAL_USER, "bob");
              ::CheckDlgButton(h, IDC_PUB_PRIVATE, BST_CHECKED);
              Click(h, IDC_PUB_PRIVATE);
            }),
         Do(kPublish,
            [&](HWND h) {
              service = ItemText(h, IDC_CAL_ADDRESS);
              ::SetDlgItemTextA(h, IDC_CAL_USER, "");
              Click(h, IDOK);
            }),
         AnswerBox(kPublish, &noUser), Do(kPublish, [](HWND h) { Click(h, IDCANCEL); })});
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(web, "ftp://host/cal/My-Family-Dates.ics");
  EXPECT_EQ(service, "http://www.skyledger.com/calendars/private/bob/My-Family-Dates.ics");
  EXPECT_EQ(noUser, "Please enter an Skyledger user name.");
  EXPECT_EQ(cal->address, "ftp://host/cal/Old.ics");
}

TEST_F(CalendarDialogs, PublishSavesDefaultsTheNextDialogStartsWith) {
  g_Settings.PublishURL.clear();
  CCalendarFile* cal = new CCalendarFile();
  cal->name = "Trips";
  cal->fileType = CCalendarFile::kMemoryOnly;
  doc.calendars().AddCalendar(cal);
  net.replies.resize(2);  // HEAD: none there; PUT: created
  net.replies[0].status = 404;
  net.replies[1].status = 201;
  {
    CCalPublishDlg dlg(doc, *cal);
    EXPECT_EQ(dlg.saveAsDefault, 1);
    wintest::Shot shot;
    COLORREF edit = 0;
    Drive({Do(kPublish, [&](HWND h) {
      ::CheckRadioButton(h, IDC_PUB_SERVICE, IDC_PUB_WEB, IDC_PUB_WEB);
      Click(h, IDC_PUB_WEB);
    }),
           Do(kPublish, [&](HWND h) {
             ::SetDlgItemTextA(h, IDC_PUB_WEB_URL, "http://h/c");
             ::SetDlgItemTextA(h, IDC_CAL_USER, "ann");
             ::SetDlgItemTextA(h, IDC_CAL_PASSWORD, "pw");
             shot = wintest::TakeShot(h, "publish");
             edit = PixelIn(shot, h, IDC_PUB_WEB_URL, 120);
             Click(h, IDOK);
           })});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(edit, RGB(255, 255, 255));
  }
  ASSERT_EQ(net.seen.size(), 2u);
  EXPECT_EQ(cal->address, "http://h/c/Trips.ics");
  EXPECT_TRUE(cal->published);
  std::string stored;
  EXPECT_TRUE(profile_.ReadString("Settings", "PublishURL", &stored));
  EXPECT_EQ(stored, "http://h/c/");

  CCalendarFile* next = new CCalendarFile();
  next->name = "Next";
  doc.calendars().AddCalendar(next);
  CCalPublishDlg again(doc, *next);
  EXPECT_EQ(again.saveAsDefault, 0);
  EXPECT_EQ(again.target, CCalPublishDlg::kWebServer);
  EXPECT_EQ(again.webUrl, "http://h/c");
  EXPECT_EQ(again.userName, "ann");
  EXPECT_EQ(again.password, "pw");
}

}  // namespace
