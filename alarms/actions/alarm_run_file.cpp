#include "alarms/actions/alarm_run_file.h"

#include <shellapi.h>

#include "alarms/core/action_results.h"
#include "alarms/core/job_snapshot.h"
#include "platform/local_path.h"

namespace alarms {

std::string RunAlarmFile(HWND parent, const std::string& file, const std::string& arguments, int showCommand) {
  // A program named by a calendar file may be another computer's: opening
  // it there would connect to it. Only this computer's files run.
  if (!platform::IsLocalPath(file)) return platform::RefusedPathText("The program", file);
  HINSTANCE result = ::ShellExecuteA(parent, "open", file.c_str(), arguments.empty() ? nullptr : arguments.c_str(),
                                     nullptr, SanitizeShowState(showCommand));
  return RunResultText(reinterpret_cast<intptr_t>(result));
}

}  // namespace alarms
