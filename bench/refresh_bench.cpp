// Subscribing to a calendar of N events (10,000 by default) over a scripted
// network into a new calendar file, then refreshing it with 10 events
// changed, 10 new and 10 gone (their deletion confirmed): the time of each,
// and the OS file writes and flushes the subscription made (and the
// flushes' time).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_scratch.h"
#include "model/settings/program_settings.h"
#include "platform/os_file_faults.h"
#include "platform/profile_store.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/ical/ical_storage.h"
#include "storage/services/storage_services.h"
#include "storage/sharing/sharing.h"
#include "tests/storage/sharing/fake_transport.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// Confirms every deletion, answers everything else as a silent user would.
class BenchPrompts : public IStoragePrompts {
 public:
  void ShowMessage(const std::string& text, PromptIcon) override { std::printf("message: %s\n", text.c_str()); }
  bool AskYesNo(const std::string&, PromptIcon) override { return true; }
  bool AskAddOrPreview() override { return true; }
  bool PromptLogin(CalendarLogin*) override { return false; }
  bool ChooseEventsToDelete(const std::vector<RefreshDeleteItem>& items, const std::string&,
                            std::vector<bool>* ticked) override {
    offered = items.size();
    ticked->assign(items.size(), true);
    return true;
  }
  size_t offered = 0;
};

// Events first..first+count-1; `changedFrom` onwards of the first ten get a
// new summary and stamp.
std::string CalendarText(int first, int count, int changed) {
  std::string t = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//x//EN\r\n";
  for (int i = first; i < first + count; ++i) {
    const bool isChanged = i - first < changed;
    t += "BEGIN:VEVENT\r\nUID:bench-" + std::to_string(i) + "@x\r\nSUMMARY:Event " + std::to_string(i) +
         (isChanged ? " changed" : "") + "\r\nDTSTART:2026" + (i % 12 < 9 ? "0" : "") + std::to_string(1 + i % 12) +
         "15T090000\r\nRRULE:FREQ=YEARLY\r\nDTSTAMP:" + (isChanged ? "20260302" : "20260301") +
         "T000000Z\r\nEND:VEVENT\r\n";
  }
  return t + "END:VCALENDAR\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const benchcal::ScratchDir scratch("almacora_refresh_bench");
  if (!scratch.ok()) return 1;
  const std::filesystem::path& dir = scratch.path();
  platform::ProfileStore profile(platform::ProfileStore::ScratchLocation("refresh_bench"));
  g_Settings.SetProfile(&profile);
  if (StartStorageEngine() != 0) {
    std::printf("engine start failed\n");
    return 1;
  }
  InstallICalStorage();
  sharingtest::FakeTransport net;
  BenchPrompts prompts;
  StorageServices services;
  services.prompts = &prompts;
  services.transport = &net;
  ScopedStorageServices scoped(services);

  int rc = 0;
  {
    CAlmacoraDoc doc;
    net.replies.push_back(sharingtest::Ok(CalendarText(0, count, 0)));
    SubscribeForm form;
    form.name = "Bench";
    form.address = "http://127.0.0.1/bench.ics";
    form.localFile = (dir / "bench.akv").string();
    const platform::FileCallCounts before = platform::FileCallsMade();
    auto t = Clock::now();
    const bool subscribed = SubscribeCalendar(doc, nullptr, form, nullptr);
    const double subscribeSeconds = Seconds(t);
    const platform::FileCallCounts after = platform::FileCallsMade();
    CCalendarFile* calendar = doc.calendars().FindByName("Bench");
    if (!subscribed || calendar == nullptr) {
      std::printf("subscribe failed\n");
      return 1;
    }
    // 10 gone from the front, 10 changed after them, 10 new at the end.
    net.replies.push_back(sharingtest::Ok(CalendarText(10, count, 10)));
    RefreshCounts counts;
    t = Clock::now();
    const bool refreshed = RefreshSubscription(doc, *calendar, calendar->address, "", true, nullptr, &counts);
    const double refreshSeconds = Seconds(t);
    std::printf("subscribe %6d events   %8.3f s (%zu events held)\n", count, subscribeSeconds, doc.events().size());
    std::printf("          OS writes %llu, flushes %llu (%.3f s)\n",
                static_cast<unsigned long long>(after.writes - before.writes),
                static_cast<unsigned long long>(after.flushes - before.flushes),
                after.flush_seconds - before.flush_seconds);
    std::printf("refresh   added %d updated %d deleted %d of %zu offered  %8.3f s\n", counts.added, counts.updated,
                counts.deleted, prompts.offered, refreshSeconds);
    rc = refreshed && counts.added == 10 && counts.updated == 10 && counts.deleted == 10 ? 0 : 1;
    calendar->Close(&doc.events());
  }
  g_Settings.SetProfile(nullptr);
  profile.Clear();
  return rc;
}
