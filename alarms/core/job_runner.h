// Running one batch of alarm jobs, in order, through the actions a worker
// is given. Window-free, so the order, the snooze rules and the logging
// are tested without a thread.
#pragma once

#include <string>
#include <vector>

#include "alarms/core/job_snapshot.h"

class IAlarmJobActions {
 public:
  virtual ~IAlarmJobActions() = default;
  // Each returns the error text, empty on success.
  virtual std::string SendEmail(const AlarmJob& job) = 0;
  virtual std::string RunFile(const AlarmJob& job) = 0;
  // One log entry; must not fail the batch when the log cannot be written.
  virtual void LogError(const std::string& error, const std::string& action, const std::string& eventName) = 0;
};

// For each job: the e-mail when sendEmail, then the file when runFile; each
// failure is logged ("Send Email" / "Open File / Program") and the rest
// still runs. True when any action failed (the caller then posts one
// notice for the batch).
bool RunAlarmJobs(const std::vector<AlarmJob>& jobs, IAlarmJobActions& actions);
