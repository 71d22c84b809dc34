// The alarm actions' worker threads: one per batch of due alarms. The GUI
// thread builds the jobs (values only) and hands them over; the worker
// sends each e-mail (SMTP or Simple MAPI), opens each file or program,
// logs every failure to the alarm error log and, once per batch with a
// failure, posts the notice message to the window given. It touches no
// event, setting or window besides that one post.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "alarms/core/job_snapshot.h"

class CMailCancel;
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
