#include "storage/calendar_mend_notice.h"

#include "isam/calendar_file_set.h"
#include "model/events/cal_event.h"
#include "model/events/event_codec.h"

namespace mendnotice {
namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string EventsKept(int kept) {
  return kept == 1 ? std::string("1 event was kept") : std::to_string(kept) + " events were kept";
}

}  // namespace

std::vector<std::string> SetAsideNames(const isam::MendReport& report) {
  std::vector<std::string> names;
  for (const std::vector<uint8_t>& bytes : report.set_aside) {
    // The record failed its check: decoding stops at the first item it
    // cannot read, and whatever came before it (the name, often) stays.
    CCalEvent event;
    DecodeEventRecord(bytes.data(), bytes.size(), &event);
    names.push_back(event.name);
  }
  return names;
}

// "the event "A", the event "B" and an event whose name could not be read"
static std::string LostEvents(const isam::MendReport& report) {
  const std::vector<std::string> names = SetAsideNames(report);
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i].empty() ? "an event whose name could not be read" : "the event " + Quoted(names[i]);
  }
  return text;
}

std::string MendText(const std::string& calendar, const isam::MendReport& report) {
  std::string text = "The calendar " + Quoted(calendar) +
                     " was not closed properly: the computer stopped while it was being written.\n\n"
                     "It has been brought back, and " + EventsKept(report.kept) + ".\n\n";
  if (!report.set_aside.empty())
    text += (report.set_aside.size() == 1 ? "Lost: the change being saved when it stopped, to "
                                          : "Lost: the changes being saved when it stopped, to ") +
            LostEvents(report) + ". Enter it again if it is still needed.\n\n";
  if (report.passed_over > 0)
    text += "Part of the file that was being written could not be read and was cleared: a change saved just "
            "before the computer stopped may be missing.\n\n";
  return text + "The file ENGSTAT.LOG lists what was set aside.";
}

std::string RefusedText(const std::string& calendar, const std::string& path, const std::string& backup) {
  std::string text = "The calendar " + Quoted(calendar) + " (" + path +
                     ") cannot be opened: the file is damaged where it keeps its header or events saved "
                     "before the last write to the disk.\n\n";
  if (!backup.empty()) {
    text += "Yes: restore the last backup (" + backup + "). Changes made since that backup are lost.\n"
            "No: rebuild the calendar from the events that can still be read.\n"
            "Cancel: leave the calendar closed for now.";
  } else {
    text += "No backup of it was found.\n\n"
            "Yes: rebuild the calendar from the events that can still be read.\n"
            "No: leave the calendar closed for now.";
  }
  return text;
}

std::string RebuiltText(const std::string& calendar, int kept, const std::string& damagedCopy) {
  return "The calendar " + Quoted(calendar) + " was rebuilt from the events that could still be read: " +
         EventsKept(kept) + ".\n\nThe damaged file was kept as " + damagedCopy + ".";
}

}  // namespace mendnotice
