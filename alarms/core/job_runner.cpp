#include "alarms/core/job_runner.h"

#include "alarms/core/action_log.h"

bool RunAlarmJobs(const std::vector<AlarmJob>& jobs, IAlarmJobActions& actions) {
  bool failed = false;
  for (const AlarmJob& job : jobs) {
    if (job.sendEmail) {
      std::string error = actions.SendEmail(job);
      if (!error.empty()) {
        actions.LogError(error, kActionSendEmail, job.eventName);
        failed = true;
      }
    }
    if (job.runFile) {
      std::string error = actions.RunFile(job);
      if (!error.empty()) {
        actions.LogError(error, kActionOpenFile, job.eventName);
        failed = true;
      }
    }
  }
  return failed;
}
