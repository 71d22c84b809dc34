#include "alarms/alarm_batch.h"

namespace {

void FreeBatch(std::unique_ptr<AlarmBatch> /*batch*/) {}

AlarmBatchHook g_hook = &FreeBatch;

}  // namespace

AlarmBatchHook SetAlarmBatchHook(AlarmBatchHook hook) {
  AlarmBatchHook previous = g_hook;
  g_hook = hook ? hook : &FreeBatch;
  return previous;
}

void HandOverAlarmBatch(std::unique_ptr<AlarmBatch> batch) { g_hook(std::move(batch)); }
