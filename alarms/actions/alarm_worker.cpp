#include "alarms/actions/alarm_worker.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "alarms/actions/alarm_log_file.h"
#include "alarms/actions/alarm_run_file.h"
#include "alarms/actions/mapi_mailer.h"
#include "alarms/core/action_smtp.h"
#include "alarms/core/job_runner.h"
#include "alarms/mail/mail_cancel.h"
#include "framework/thread.h"
#include "model/events/cal_event.h"
#include "model/events/occurrence_ref.h"
#include "model/settings/program_settings.h"

namespace alarms {

namespace {
// Made once and never destroyed: a worker held in a call that cannot be
// cut short may still count itself out after the program's statics went.
struct WorkerState {
  std::mutex countMutex;
  std::condition_variable countChanged;
  int running = 0;
  std::vector<HANDLE> threads;  // joined at exit; ended ones closed as new ones start
  CMailCancel cancel;
  std::vector<std::weak_ptr<CAlarmMailTest>> tests;  // Test e-mails, cancelled at exit
};
WorkerState& State() {
  static WorkerState* state = new WorkerState();
  return *state;
}

class WorkerActions : public IAlarmJobActions {
 public:
  std::string SendEmail(const AlarmJob& job) override {
    if (State().cancel.IsCancelled()) return std::string();
    return SendAlarmJobEmail(job, false, &State().cancel);
  }
  std::string RunFile(const AlarmJob& job) override {
    if (State().cancel.IsCancelled()) return std::string();
    return RunAlarmFile(nullptr, job.file, job.arguments, job.showState);
  }
  void LogError(const std::string& error, const std::string& action, const std::string& name) override {
    State().cancel.RunUnlessCancelled([&] { LogAlarmError(error, action, name); });
  }
};

bool HasWork(const std::vector<AlarmJob>& jobs) {
  for (const AlarmJob& j : jobs)
    if (j.sendEmail || j.runFile) return true;
  return false;
}

void WorkerDone() {
  WorkerState& st = State();
  std::lock_guard<std::mutex> lock(st.countMutex);
  --st.running;
  st.countChanged.notify_all();
}

void Notify(HWND window, UINT message) {
  if (window) State().cancel.RunUnlessCancelled([&] { ::PostMessageA(window, message, 0, 0); });
}

// Starts `body` on a thread that counts as a running worker and that the
// exit joins. False when no thread could start (body never runs).
bool StartCountedWorker(std::function<void()> body) {
  WorkerState& st = State();
  std::lock_guard<std::mutex> lock(st.countMutex);
  ++st.running;
  HANDLE thread = framework::StartWorkerThread([body] {
    body();
    WorkerDone();
  });
  if (!thread) {
    --st.running;
    st.countChanged.notify_all();
    return false;
  }
  std::vector<HANDLE> live;
  for (HANDLE h : st.threads) {
    if (::WaitForSingleObject(h, 0) == WAIT_OBJECT_0) {
      ::CloseHandle(h);
    } else {
      live.push_back(h);
    }
  }
  live.push_back(thread);
  st.threads.swap(live);
  return true;
}
}  // namespace

std::string SendAlarmJobEmail(const AlarmJob& job, bool interactive, CMailCancel* cancel) {
  const AlarmTransport& t = job.transport;
  if (t.type != 0) return SendSmtpMail(t, job.recipients, job.subject, job.message, 60000, cancel);
  return SendMapiMail(t.mapiShared != 0, t.profile, job.recipients, job.subject, job.message, interactive);
}

bool StartAlarmActions(const std::vector<COccurrenceRef>& batch, HWND notifyWindow, UINT notifyMessage) {
  std::vector<AlarmJob> jobs;
  jobs.reserve(batch.size());
  for (const COccurrenceRef& ref : batch) jobs.push_back(BuildAlarmJob(ref, g_Settings));
  // Recorded before they start: a restart never runs a program or sends a
  // mail twice for one alarm (an unstored record may, once, repeat them).
  for (size_t i = 0; i < batch.size(); ++i) {
    if (!jobs[i].sendEmail && !jobs[i].runFile) continue;
    RecordActed(batch[i]);
    if (batch[i].event) batch[i].event->Save(0, 0, 0);
  }
  return StartAlarmJobs(std::move(jobs), notifyWindow, notifyMessage);
}

bool StartAlarmJobs(std::vector<AlarmJob> jobs, HWND notifyWindow, UINT notifyMessage) {
  if (!HasWork(jobs) || State().cancel.IsCancelled()) return true;
  auto shared = std::make_shared<std::vector<AlarmJob>>(std::move(jobs));
  if (StartCountedWorker([shared, notifyWindow, notifyMessage] {
        WorkerActions actions;
        if (RunAlarmJobs(*shared, actions)) Notify(notifyWindow, notifyMessage);
      }))
    return true;
  const std::string error = "The alarm actions could not be started.";
  for (const AlarmJob& j : *shared) {
    if (j.sendEmail) LogAlarmError(error, "Send Email", j.eventName);
    if (j.runFile) LogAlarmError(error, "Open File / Program", j.eventName);
  }
  if (notifyWindow) ::PostMessageA(notifyWindow, notifyMessage, 0, 0);
  return false;
}

std::string CAlarmMailTest::Result() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return result_;
}

void CAlarmMailTest::SetResult(const std::string& result) {
  std::lock_guard<std::mutex> lock(mutex_);
  result_ = result;
}

bool StartAlarmMailTest(const AlarmJob& job, const std::shared_ptr<CAlarmMailTest>& test, HWND window,
                        UINT message) {
  {
    // Under the lock StopAlarmWorkers takes after throwing its switch: a
    // test either is listed before it looks, or sees the switch.
    WorkerState& st = State();
    std::lock_guard<std::mutex> lock(st.countMutex);
    if (st.cancel.IsCancelled()) return false;
    std::vector<std::weak_ptr<CAlarmMailTest>> live;
    for (const auto& t : st.tests)
      if (!t.expired()) live.push_back(t);
    live.push_back(test);
    st.tests.swap(live);
  }
  return StartCountedWorker([job, test, window, message] {
    test->SetResult(SendAlarmJobEmail(job, false, &test->cancel));
    State().cancel.RunUnlessCancelled(
        [&] { test->cancel.RunUnlessCancelled([&] { ::PostMessageA(window, message, 0, 0); }); });
  });
}

int RunningAlarmWorkers() {
  WorkerState& st = State();
  std::lock_guard<std::mutex> lock(st.countMutex);
  return st.running;
}

bool WaitForAlarmWorkers(DWORD milliseconds) {
  WorkerState& st = State();
  std::unique_lock<std::mutex> lock(st.countMutex);
  return st.countChanged.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return st.running == 0; });
}

bool StopAlarmWorkers(DWORD milliseconds) {
  WorkerState& st = State();
  st.cancel.Cancel();
  std::vector<HANDLE> threads;
  {
    std::lock_guard<std::mutex> lock(st.countMutex);
    threads.swap(st.threads);
    for (const auto& t : st.tests)
      if (auto test = t.lock()) test->cancel.Cancel();
    st.tests.clear();
  }
  const DWORD start = ::GetTickCount();
  bool all = true;
  for (HANDLE h : threads) {
    const DWORD spent = ::GetTickCount() - start;
    if (::WaitForSingleObject(h, spent < milliseconds ? milliseconds - spent : 0) != WAIT_OBJECT_0) all = false;
    ::CloseHandle(h);
  }
  return all;
}

}  // namespace alarms
