#include "shell/commands/frame_event_operations.h"

#include "model/events/occurrence_ref.h"
#include "shell/frame/main_frame.h"

bool CFrameEventOperations::IsAvailable(Operation /*operation*/) const { return true; }

void CFrameEventOperations::AddCopy(const CCalEvent& source) { frame_.AddCopy(source); }

bool CFrameEventOperations::ModifyEvent(const COccurrenceRef& occurrence) {
  return frame_.ModifyEvent(occurrence) != FALSE;
}

bool CFrameEventOperations::ConfirmAcknowledge(bool oneTime) {
  return frame_.ConfirmAcknowledge(oneTime ? TRUE : FALSE) != FALSE;
}

void CFrameEventOperations::ShowEventDetails(const COccurrenceRef& occurrence) { frame_.ShowEventDetails(occurrence); }

void CFrameEventOperations::ExportEvent(const COccurrenceRef& occurrence) { frame_.ExportEvent(occurrence); }

void CFrameEventOperations::PrintEvent(const COccurrenceRef& occurrence) { frame_.PrintEvent(occurrence); }
