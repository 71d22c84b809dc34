#include "alarms/actions/alarm_worker.h"

#include <condition_variable>
#include <memory>
#include <mutex>

#include "alarms/actions/alarm_log_file.h"
#include "alarms/actions/alarm_run_file.h"
#include "alarms/actions/mapi_mailer.h"
#include "alarms/core/action_smtp.h"
#include "alarms/core/job_runner.h"
#include "framework/thread.h"
#include "model/occurrence_ref.h"
#include "model/program_settings.h"

namespace alarms {

namespace {
std::mutex g_countMutex;
std::condition_variable g_countChanged;
int g_running = 0;

class WorkerActions : public IAlarmJobActions {
 public:
  std::string SendEmail(const AlarmJob& job) override { return SendAlarmJobEmail(job, false); }
  std::string RunFile(const AlarmJob& job) override {
    return RunAlarmFile(nullptr, job.file, job.arguments, job.showState);
  }
  void LogError(const std::string& error, const std::string& action, const std::string& name) override {
    LogAlarmError(error, action, name);
  }
};

bool HasWork(const std::vector<AlarmJob>& jobs) {
  for (const AlarmJob& j : jobs)
    if (j.sendEmail || j.runFile) return true;
  return false;
}

void WorkerDone() {
  std::lock_guard<std::mutex> lock(g_countMutex);
  --g_running;
  g_countChanged.notify_all();
}
}  // namespace

std::string SendAlarmJobEmail(const AlarmJob& job, bool interactive) {
  const AlarmTransport& t = job.transport;
  if (t.type != 0) return SendSmtpMail(t, job.recipients, job.subject, job.message);
  return SendMapiMail(t.mapiShared != 0, t.profile, job.recipients, job.subject, job.message, interactive);
}

bool StartAlarmActions(const std::vector<COccurrenceRef>& batch, HWND notifyWindow, UINT notifyMessage) {
  std::vector<AlarmJob> jobs;
  jobs.reserve(batch.size());
  for (const COccurrenceRef& ref : batch) jobs.push_back(BuildAlarmJob(ref, g_Settings));
  return StartAlarmJobs(std::move(jobs), notifyWindow, notifyMessage);
}

bool StartAlarmJobs(std::vector<AlarmJob> jobs, HWND notifyWindow, UINT notifyMessage) {
  if (!HasWork(jobs)) return true;
  auto shared = std::make_shared<std::vector<AlarmJob>>(std::move(jobs));
  {
    std::lock_guard<std::mutex> lock(g_countMutex);
    ++g_running;
  }
  HANDLE thread = framework::StartWorkerThread([shared, notifyWindow, notifyMessage] {
    WorkerActions actions;
    if (RunAlarmJobs(*shared, actions) && notifyWindow) ::PostMessageA(notifyWindow, notifyMessage, 0, 0);
    WorkerDone();
  });
  if (thread) {
    ::CloseHandle(thread);
    return true;
  }
  WorkerDone();
  const std::string error = "The alarm actions could not be started.";
  for (const AlarmJob& j : *shared) {
    if (j.sendEmail) LogAlarmError(error, "Send Email", j.eventName);
    if (j.runFile) LogAlarmError(error, "Open File / Program", j.eventName);
  }
  if (notifyWindow) ::PostMessageA(notifyWindow, notifyMessage, 0, 0);
  return false;
}

int RunningAlarmWorkers() {
  std::lock_guard<std::mutex> lock(g_countMutex);
  return g_running;
}

bool WaitForAlarmWorkers(DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(g_countMutex);
  return g_countChanged.wait_for(lock, std::chrono::milliseconds(milliseconds), [] { return g_running == 0; });
}

}  // namespace alarms
