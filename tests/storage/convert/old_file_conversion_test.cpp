// Converting old event files at the first start, from the menu and when
// such a file is opened: the questions, the backup and the new file.
#include <gtest/gtest.h>

#include "convert_fixture.h"
#include "storage/convert/convert_texts.h"
#include "storage/convert/old_event_records.h"
#include "storage/convert/old_file_conversion.h"

namespace {

using converttest::KeepingTarget;
using converttest::ScratchFolder;
using converttest::ScriptedPrompts;

class FakeCalendar : public IConversionCalendar {
 public:
  explicit FakeCalendar(const ScratchFolder& folder) : folder_(folder) {}
  bool CreateEventFile(const std::string& path) override {
    created.push_back(path);
    folder_.Write(path.substr(folder_.Folder().size()), "NEW");
    return true;
  }
  IImportTarget* Target() override { return &target; }
  IImportTarget* RedirectTarget() override { return redirect; }
  void NameFromPathIfUnnamed() override { ++named; }
  bool IsOpenInCalendarList(const std::string& path) override { return path == openPath; }
  bool SameFile(const std::string& a, const std::string& b) override { return a == b; }

  KeepingTarget target;
  IImportTarget* redirect = nullptr;
  std::vector<std::string> created;
  int named = 0;
  std::string openPath;

 private:
  const ScratchFolder& folder_;
};

std::string OldFile20() {
  std::string r(kRecord20Size, '\0');
  r[0] = 3, r[2] = 4, r[4] = static_cast<char>(2001 & 0xFF), r[5] = static_cast<char>(2001 >> 8);
  r[6] = r[7] = '\xFF';
  r[302] = 1;
  return std::string("Almacora 2.00 Event File") + r;
}

TEST(OldFileConversion, FirstRunAndMenu) {
  const struct {
    const char* what;
    bool hasOld20, hasOld12, answer, report, eventsOpen;
    std::vector<std::string> texts;
    int result;
  } cases[] = {
      {"2.00, yes", true, true, true, false, false, {convert_text::kAskConvert20}, 1},
      {"1.2, yes", false, true, true, false, false, {convert_text::kAskConvert12}, 1},
      {"2.00, no", true, false, false, false, false, {convert_text::kAskConvert20, convert_text::kNotConvertedLater}, 0},
      {"none, menu", false, false, true, true, false, {convert_text::kNoOldFile}, 0},
      {"none, first run", false, false, true, false, false, {}, 0},
      {"events.akv open", true, false, true, false, true, {convert_text::kAskConvert20, convert_text::kEventsFileOpen}, 0},
  };
  for (const auto& c : cases) {
    ScratchFolder folder;
    if (c.hasOld20) folder.Write("events20.dat", OldFile20());
    if (c.hasOld12) folder.Write("events.dat", std::string(kRecord12Size, '\0'));
    folder.Write("events.akv", "PRESENT");
    folder.Write("default.akv", "EARLIER");
    FakeCalendar calendar(folder);
    if (c.eventsOpen) calendar.openPath = folder.Path("events.akv");
    ScriptedPrompts prompts;
    prompts.answers = {c.answer};
    EXPECT_EQ(c.result, ConvertOldEventFiles(folder.Folder(), c.report, &calendar, &prompts)) << c.what;
    EXPECT_EQ(c.texts, prompts.Texts()) << c.what;
    EXPECT_EQ("EARLIER", folder.Read("default.akv")) << c.what;
    if (c.result == 1) {
      EXPECT_EQ(std::vector<std::string>{folder.Path("events.akv")}, calendar.created) << c.what;
      EXPECT_EQ("PRESENT", folder.Read("default1.akv")) << c.what;
      EXPECT_EQ(1, calendar.named) << c.what;
    } else {
      EXPECT_TRUE(calendar.created.empty()) << c.what;
      EXPECT_EQ("PRESENT", folder.Read("events.akv")) << c.what;
      EXPECT_FALSE(folder.Exists("default1.akv")) << c.what;
    }
  }
}

TEST(OldFileConversion, OpeningAnOldFile) {
  ScratchFolder folder;
  const std::string old = folder.Write("mine.dat", OldFile20());
  std::filesystem::permissions(old, std::filesystem::perms::owner_read);
  const std::string question =
      "You are opening a version 2.x / 3.0 file.\nTo read this file, it must be converted\nto the current "
      "version.\n\nConvert file to new format?";
  const struct {
    const char* what;
    bool answer;
    std::string chosen;
    std::vector<std::string> texts;
    int result;
  } cases[] = {
      {"converted", true, folder.Path("new.akv"), {question}, 1},
      {"no", false, "", {question, convert_text::kDataNotConverted}, 0},
      {"cancelled", true, "", {question, convert_text::kDataNotConverted}, 0},
      {"onto itself", true, old, {question, convert_text::kDataNotConverted}, 0},
  };
  for (const auto& c : cases) {
    FakeCalendar calendar(folder);
    ScriptedPrompts prompts;
    prompts.answers = {c.answer};
    prompts.chosenPath = c.chosen;
    EXPECT_EQ(c.result, OpenOldEventFile(old, &calendar, &prompts)) << c.what;
    EXPECT_EQ(c.texts, prompts.Texts()) << c.what;
    EXPECT_EQ(c.result == 1 ? 1u : 0u, calendar.target.events.size()) << c.what;
    if (c.answer) {
      EXPECT_EQ(std::vector<std::string>{"events20.akv"}, prompts.proposedNames) << c.what;
    }
  }
  EXPECT_EQ(OldFile20(), folder.Read("mine.dat"));

  FakeCalendar redirected(folder);
  KeepingTarget other;
  redirected.redirect = &other;
  ScriptedPrompts quiet;
  EXPECT_EQ(1, OpenOldEventFile(old, &redirected, &quiet));
  EXPECT_EQ(1u, other.events.size());
  EXPECT_TRUE(quiet.shown.empty());

  ScriptedPrompts notOld;
  EXPECT_EQ(0, OpenOldEventFile(folder.Write("x.txt", "hello"), &redirected, &notOld));
  EXPECT_EQ(std::vector<std::string>{convert_text::kNotValidAny}, notOld.Texts());
}

}  // namespace
