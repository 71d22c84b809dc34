// The storage's own message texts, each used in more than one file.
#pragma once

namespace storage_text {

constexpr char kCalendarNotOpen[] = "Error Saving Event.\n\nCalendar file is not open.";
constexpr char kNoEventFile[] =
    "Data Not Saved.\n\nNo event file is currently open.  You must either open an event\nfile or create a new "
    "event file before entering events.";
constexpr char kNotVersion5[] = "Error Reading Events File\nNot a version 5.0 file.";
constexpr char kOutOfMemory[] = "Error reading event file.\n\nOut of memory.";
constexpr char kChangedByOther[] =
    "The current event has been changed by another user.\nSaving this event will overwrite these "
    "changes.\n\nContinue saving event?";
constexpr char kAlarmChangedByOther[] =
    "The alarm for this event has been acknowledged or snoozed by another user.\nSaving this event will "
    "overwrite these changes.\n\nContinue saving event?";
constexpr char kDeletedByOther[] =
    "The current event has been deleted by another user.\nSaving this event will add this event back to the "
    "file.\n\nContinue saving event?";
constexpr char kPreviouslyDeleted[] =
    "This event has been previously deleted by another user.\nSaving this event will add it back to the "
    "file.\n\nContinue saving event?";
constexpr char kNotValidEventsFile[] = "Error Reading Events File\nNot a Valid Events File";
constexpr char kCalInfoTooLong[] =
    "Error saving calendar information.\n\nThe calendar's name, addresses and login are too long.";
constexpr char kDeleteFailed[] = "Error deleting event from disk.\n";
constexpr char kMoveFailed[] = "Error moving event.  Could not delete event from file.\n";
constexpr char kEventNotStorable[] =
    "Error Saving Event.\n\nThe event '%s' cannot be stored in the event file (it is too large).";
constexpr char kAlreadyOpen[] = "This file is already open.";
// The end of a vCalendar or iCalendar import: added, updated, skipped, each
// a convert_text::Events() count.
constexpr char kImportComplete[] = "Import complete.\n\n%s added.\n%s updated.\n%s skipped.";
constexpr char kErrorOpeningFile[] = "Error opening file";
constexpr char kCouldNotOpen[] = "The file '%s' could not be opened.\nAttempt to open the next time Almacora is run?";

}  // namespace storage_text
