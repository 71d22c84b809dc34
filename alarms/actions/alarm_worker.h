// The alarm actions' worker threads: one per batch of due alarms. The GUI
// thread builds the jobs (values only) and hands them over; the worker
// sends each e-mail (SMTP or Simple MAPI), opens each file or program,
// logs every failure to the alarm error log and, once per batch with a
// failure, posts the notice message to the window given. It touches no
// event, setting or window besides that one post.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "alarms/core/job_snapshot.h"
#include "alarms/mail/mail_cancel.h"

class COccurrenceRef;

namespace alarms {

// The reminder window's batch hook: builds one job per occurrence on the
// calling (GUI) thread from g_Settings and starts a worker for the batch.
// notifyWindow/notifyMessage: where the failure notice goes (the main
// window and WM_SHOWALARMLOG). A batch with nothing to do starts no thread.
// When no thread can start, each action of the batch is logged as failed
// and the notice is posted at once; returns false then.
bool StartAlarmActions(const std::vector<COccurrenceRef>& batch, HWND notifyWindow, UINT notifyMessage);
bool StartAlarmJobs(std::vector<AlarmJob> jobs, HWND notifyWindow, UINT notifyMessage);

// The actions of one job on the calling thread (the worker's work; the
// Test buttons use the single calls). interactive: MAPI may show its UI;
// a thrown `cancel` ends an SMTP send's waits.
std::string SendAlarmJobEmail(const AlarmJob& job, bool interactive, CMailCancel* cancel = nullptr);

// A Test button's e-mail in flight, shared by the window waiting for it
// and the worker sending it.
class CAlarmMailTest {
 public:
  // Throwing it ends the send's waits at once and stops the worker's
  // notice: once Cancel returns, nothing more is posted.
  CMailCancel cancel;
  // The send's error text, empty on success; read it once the notice came.
  std::string Result() const;
  void SetResult(const std::string& result);

 private:
  mutable std::mutex mutex_;
  std::string result_;
};

// Sends the job's e-mail (SMTP; the Test button keeps Simple MAPI, with its
// logon UI, on the GUI thread) on a worker of its own that the exit stops
// and joins like the alarm workers, then posts `message` (wParam 0,
// lParam 0) to `window` unless the test or the program's exit cancelled
// it. False, posting nothing, when no worker could start or the exit has
// begun.
bool StartAlarmMailTest(const AlarmJob& job, const std::shared_ptr<CAlarmMailTest>& test, HWND window,
                        UINT message);

// Workers still running.
int RunningAlarmWorkers();
// Waits up to `milliseconds` for the running workers. True when none is
// left.
bool WaitForAlarmWorkers(DWORD milliseconds);
// At exit, before sockets and statics go: asks the workers to stop (their
// mail connections are shut down, so no reply wait goes on), lets no new
// worker start and no worker log, post or start another action from now
// on, and joins the workers, waiting up to `milliseconds` for one held in
// a call that cannot be cut short. True when all have ended.
bool StopAlarmWorkers(DWORD milliseconds);

}  // namespace alarms
