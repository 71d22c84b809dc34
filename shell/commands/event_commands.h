// IEventCommands: what the day views ask of the main frame's event
// commands (add, modify, delete, print, export, details and the question
// before acknowledging). By default they go to the main frame's event
// operations (main_frame_dayviews.cpp); tests install a fake with
// SetEventCommands. Without a frame or a fake the menus show those
// commands grey and the mouse gestures that would call them do nothing.
#pragma once

#include "model/dates/date_time.h"
#include "model/events/occurrence_ref.h"

class CCalEvent;

class IEventCommands {
 public:
  virtual ~IEventCommands() = default;
  // The editor for a new timed event from `start`, ending at `end` (its end
  // shown) or without an end when `end` is null.
  virtual void AddEventRange(const CDateTime& start, const CDateTime* end) = 0;
  // The editor for a new all-day event on `day`.
  virtual void AddAllDayEvent(const CDateTime& day) = 0;
  // The editor for a new event on `day`.
  virtual void AddEventOnDate(const CDateTime& day) = 0;
  // The editor for a new event copied from `event`.
  virtual void AddCopy(CCalEvent& event) = 0;
  virtual void ModifyEvent(const COccurrenceRef& ref) = 0;
  virtual void DeleteEvent(const COccurrenceRef& ref) = 0;
  // True when the user agrees to acknowledge (`oneTime`: a one-time event).
  virtual bool ConfirmAcknowledge(bool oneTime) = 0;
  virtual void PrintEvent(const COccurrenceRef& ref) = 0;
  virtual void ExportEvent(const COccurrenceRef& ref) = 0;
  // The event information dialog, modal.
  virtual void ShowDetails(const COccurrenceRef& ref) = 0;
};

// The installed commands (not owned), else the main frame's, or null.
IEventCommands* GetEventCommands();
// The main frame's operations, or null without a main frame.
IEventCommands* FrameEventCommands();
void SetEventCommands(IEventCommands* commands);
