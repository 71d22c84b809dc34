// Each batch of due alarms the reminder window takes in is handed, whole,
// to one hook: the alarm actions (mail, programs) run from there. The hook
// owns the batch. Until the actions are installed the default hook frees
// it at once.
#pragma once

#include <memory>
#include <vector>

#include "model/events/occurrence_ref.h"

using AlarmBatch = std::vector<COccurrenceRef>;
using AlarmBatchHook = void (*)(std::unique_ptr<AlarmBatch> batch);

// Installs the hook; null puts the default back. Returns the previous one.
AlarmBatchHook SetAlarmBatchHook(AlarmBatchHook hook);
// Hands a batch (possibly empty) to the hook.
void HandOverAlarmBatch(std::unique_ptr<AlarmBatch> batch);
