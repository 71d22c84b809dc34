#include "alarms/actions/alarm_run_file.h"

#include <shellapi.h>

#include "alarms/core/action_results.h"
#include "alarms/core/job_snapshot.h"

namespace alarms {

std::string RunAlarmFile(HWND parent, const std::string& file, const std::string& arguments, int showCommand) {
  HINSTANCE result = ::ShellExecuteA(parent, "open", file.c_str(), arguments.empty() ? nullptr : arguments.c_str(),
                                     nullptr, SanitizeShowState(showCommand));
  return RunResultText(reinterpret_cast<intptr_t>(result));
}

}  // namespace alarms
