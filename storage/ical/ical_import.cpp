// Import: the run over a text or a file, each VCALENDAR's header, and each
// event with its overrides up to the merge into the calendar.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "model/settings/program_settings.h"
#include "platform/os_file.h"
#include "platform/paths.h"
#include "storage/ical/ical_bounds.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_import_parts.h"
#include "storage/ical/ical_library.h"
#include "storage/ical/ical_uid_text.h"
#include "storage/ical/ical_zone_rule.h"
#include "storage/ical/ical_zones.h"

using namespace icalx;

namespace {

std::string Uid(icalcomponent* v) { return FirstText(v, ICAL_UID_PROPERTY, kMaxText); }

bool HasRecurrenceId(icalcomponent* v) {
  return icalcomponent_get_first_property(v, ICAL_RECURRENCEID_PROPERTY) != nullptr;
}

// A calendar record must be able to hold the event, or its add would fail
// and end the run. `scratch` is the run's, kept for its room.
bool Storable(const CCalEvent& e, CFieldBuffer* scratch) {
  return EncodeEventRecord(e, kEventRecordLive, scratch);
}

// As downloads are: a larger file would not fit memory with its parse.
constexpr uint64_t kLargestICalFile = 64ull << 20;

// 0, or the message of the failure.
const char* ReadWholeFile(const std::string& path, std::string* text) {
  static const char kCannotOpen[] = "Error opening file";
  static const char kTooLarge[] = "Error opening file\n\nThe calendar is larger than 64 MB.";
  platform::OsFile* file = platform::OpenOsFile(path.c_str(), platform::FileShare::kShared,
                                                platform::FileDisposition::kOpenExisting);
  if (!file) return kCannotOpen;
  const char* failure = nullptr;
  uint64_t size = 0;
  if (platform::OsFileSize(file, &size) && size > kLargestICalFile) failure = kTooLarge;
  char chunk[65536];
  while (!failure) {
    uint32_t done = 0;
    if (!platform::ReadOsFile(file, chunk, sizeof chunk, &done)) {
      failure = kCannotOpen;
      break;
    }
    if (done == 0) break;
    if (text->size() + done > kLargestICalFile) failure = kTooLarge;
    else text->append(chunk, done);
  }
  platform::CloseOsFile(file);
  return failure;
}

// What the parser reads of a text: bounded, and its UIDs kept whole.
// *tooLong: the properties left out for their length.
std::string Prepared(const std::string& text, size_t* tooLong) {
  std::string bounded = BoundICalText(text, CICalConverter::kMaxNesting, CICalConverter::kMaxPropertyBytes,
                                      CICalConverter::kMaxPropertiesPerComponent, tooLong);
  KeepUidBlanks(&bounded);
  return bounded;
}

// The parser's line source over a text in memory, as fgets would read it.
struct LineSource {
  const std::string* text;
  size_t pos;
};

char* NextLine(char* out, size_t size, void* data) {
  LineSource* src = static_cast<LineSource*>(data);
  // A UTF-8 byte order mark before BEGIN is no part of the text; a NUL
  // ends it.
  if (src->pos == 0 && src->text->compare(0, 3, "\xEF\xBB\xBF") == 0) src->pos = 3;
  if (src->pos >= src->text->size() || (*src->text)[src->pos] == '\0' || size < 2) return nullptr;
  size_t n = 0;
  while (n + 1 < size && src->pos < src->text->size()) {
    const char c = (*src->text)[src->pos];
    if (c == '\0') break;
    ++src->pos;
    out[n++] = c;
    if (c == '\n') break;
  }
  out[n] = '\0';
  return out;
}

}  // namespace

// One import run over a target.
struct CICalConverter::Run {
  CICalConverter& c;
  IICalTarget& target;
  bool refresh;
  // UIDs imported from the current VCALENDAR (overrides attach only to
  // those).
  std::set<std::string> uids;
  CFieldBuffer scratch;
  // The SEQUENCE of every UID this run stored: an older copy of the same
  // event later in the text is passed over.
  std::map<std::string, int> storedSequences;

  static int CountEvents(icalcomponent* vcal) {
    return icalcomponent_count_components(vcal, ICAL_VEVENT_COMPONENT);
  }

  void Calendar(icalcomponent* vcal) {
    if (c.cancelled_) return;
    uids.clear();
    std::string version;
    icalproperty_method method = ICAL_METHOD_NONE;
    for (icalproperty* p = icalcomponent_get_first_property(vcal, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(vcal, ICAL_ANY_PROPERTY)) {
      switch (icalproperty_isa(p)) {
        case ICAL_METHOD_PROPERTY: method = icalproperty_get_method(p); break;
        case ICAL_PRODID_PROPERTY:
          c.prodId_ = FromUtf8(icalproperty_get_prodid(p), 1024);
          c.producer_ = DetectICalProducer(c.prodId_);
          break;
        case ICAL_VERSION_PROPERTY: {
          const char* v = icalproperty_get_version(p);
          version = v ? std::string(v).substr(0, 64) : std::string();
          break;
        }
        case ICAL_X_PROPERTY: Header(p); break;
        default: break;
      }
    }
    if (!version.empty() && version < "2.0") {
      PassOver(vcal, "A calendar of VERSION " + version +
                         " (vCalendar) was not read: import it as a vCalendar File (.vcs).");
      return;
    }
    if (method == ICAL_METHOD_CANCEL || method == ICAL_METHOD_REFRESH || method == ICAL_METHOD_COUNTER ||
        method == ICAL_METHOD_DECLINECOUNTER) {
      PassOver(vcal, "A calendar of METHOD " + std::string(icalproperty_method_to_string(method)) +
                         " holds no events to keep: it was not read.");
      return;
    }
    Zones(vcal, DropRunawayZones(vcal));
    Events(vcal);
    // A calendar written inside another is read as one of its own.
    for (icalcomponent* inner = icalcomponent_get_first_component(vcal, ICAL_VCALENDAR_COMPONENT); inner;
         inner = icalcomponent_get_next_component(vcal, ICAL_VCALENDAR_COMPONENT))
      Calendar(inner);
  }

  // A TZID without its VTIMEZONE gets the built-in zone of that name; any
  // other stays floating, and the log says so. A zone of the calendar that
  // was left out is named with why.
  void Zones(icalcomponent* vcal, const std::vector<DroppedZone>& dropped = {}) {
    std::set<std::string> told;
    for (const DroppedZone& z : dropped) {
      if (!told.insert(z.tzid).second) continue;
      c.Note("Time zone \"" + FromUtf8(z.tzid.c_str(), 64) + "\" of the calendar was not read: " + z.why + ".  " +
             (BuiltInZoneRules(z.tzid.c_str()) ? "Its times were read in Almacora's own zone of that name."
                                               : "Its times were read as local time."));
    }
    std::vector<std::string> unknown;
    for (const std::string& name : AddBuiltInZones(vcal))
      if (!told.count(name)) unknown.push_back(name);
    if (unknown.empty()) return;
    constexpr size_t kNamesShown = 10;
    std::string names;
    for (size_t i = 0; i < unknown.size() && i < kNamesShown; ++i)
      names += (i ? ", \"" : "\"") + FromUtf8(unknown[i].c_str(), 64) + "\"";
    if (unknown.size() > kNamesShown) names += " and " + std::to_string(unknown.size() - kNamesShown) + " more";
    c.Note("Time zone " + names +
           ": neither defined in the calendar nor a zone Almacora knows.  Its times were read as local time.");
  }

  void PassOver(icalcomponent* vcal, const std::string& why) {
    const int events = CountEvents(vcal);
    c.skipped_ += events;
    c.Note(why + (events ? " " + std::to_string(events) + " event(s) skipped." : std::string()));
  }

  void Header(icalproperty* p) {
    const char* name = icalproperty_get_x_name(p);
    if (!name) return;
    ICalCalendarHeader& h = target.Header();
    const std::string value = FromUtf8(PropertyText(p), 2000);
    if (std::strcmp(name, "X-WR-CALNAME") == 0) {
      if (h.nameFromAddress) h.name = value;
    } else if (std::strcmp(name, "X-WR-RELCALID") == 0) {
      h.relCalId = value;
    } else if (std::strcmp(name, "X-WR-TIMEZONE") == 0) {
      h.timeZone = value;
    }
  }

  // Every VEVENT in order, each overriding VEVENT read together with the
  // event it belongs to, so that an event is merged once, whole.
  void Events(icalcomponent* vcal) {
    std::vector<icalcomponent*> all;
    std::set<std::string> masterUids;
    for (icalcomponent* v = icalcomponent_get_first_component(vcal, ICAL_VEVENT_COMPONENT); v;
         v = icalcomponent_get_next_component(vcal, ICAL_VEVENT_COMPONENT)) {
      all.push_back(v);
      if (!HasRecurrenceId(v)) masterUids.insert(Uid(v));
    }
    std::vector<icalcomponent*> masters;
    std::map<std::string, std::vector<icalcomponent*>> overrides;
    for (icalcomponent* v : all) {
      if (HasRecurrenceId(v)) {
        const std::string uid = Uid(v);
        if (!uid.empty() && masterUids.count(uid)) {
          overrides[uid].push_back(v);
          continue;
        }
      }
      masters.push_back(v);
    }
    std::set<std::string> served;
    static const std::vector<icalcomponent*> kNone;
    for (icalcomponent* v : masters) {
      if (c.cancelled_) return;
      const std::string uid = Uid(v);
      const bool first = !HasRecurrenceId(v) && served.insert(uid).second;
      auto it = overrides.find(uid);
      Event(v, first && it != overrides.end() ? it->second : kNone);
    }
  }

  // A VEVENT that names an occurrence of an event imported before from the
  // same VCALENDAR (only a file's bare VEVENTs get here).
  bool LooseOverride(icalcomponent* v) {
    if (!HasRecurrenceId(v)) return false;
    const std::string uid = Uid(v);
    if (uid.empty() || !uids.count(uid)) return false;
    CCalEvent* held = target.FindEventByUid(uid);
    if (!held) return false;
    if (ReadOverride(v, c.producer_ == kProducerSelf, held)) {
      c.NoteType(held->type);
      if (!target.UpdateEvent(*held)) c.cancelled_ = true;
    }
    return true;
  }

  // Counts a passed-over event and logs why, without asking.
  void Passed(const std::string& label, const std::string& why) {
    ++c.skipped_;
    c.Note("Event: " + label + why);
  }

  // False and the cancelled flag on "Cancel Import".
  void Skip(const std::string& label, const char* why) {
    const int answer = c.prompts_ ? c.prompts_->AskSkipOrCancel("Event: " + label + why)
                                  : IICalPrompts::kCancelImport;
    Passed(label, why);
    if (answer != IICalPrompts::kSkipEvent) {
      c.cancelled_ = true;
      c.Note("Import cancelled.");
    }
  }

  bool Ask(const std::string& label, const char* question) {
    if (c.prompts_ && c.prompts_->AskYesNo("Event: " + label + question)) return true;
    Passed(label, "\n\nNot imported (answered No).");
    return false;
  }

  // An older copy of an event this run stored already.
  bool OlderThanStored(const CCalEvent& e, const std::string& label) {
    auto it = storedSequences.find(e.uid);
    if (it == storedSequences.end() || e.sequence >= it->second) return false;
    Passed(label, "\n\nSEQUENCE " + std::to_string(e.sequence) + " is older than the " +
                      std::to_string(it->second) + " imported before from this text.  Event skipped.");
    return true;
  }

  void Event(icalcomponent* v, const std::vector<icalcomponent*>& overrideComponents) {
    if (c.cancelled_) return;
    if (LooseOverride(v)) return;
    ReadEvent read;
    ReadEventProperties(v, &read);
    CCalEvent& e = *read.event;
    const std::string saving = target.SavingUid();
    if (!e.uid.empty() && (e.uid == saving || target.MovedAway(e.uid))) return;

    const std::string label = !e.name.empty() ? e.name : !e.notes.empty() ? e.notes : !e.uid.empty() ? e.uid : "Unknown";
    if (e.start.IsEmpty() && read.startGiven)
      return Skip(label, "\n\nThe start date lies outside the years 100 to 9999 that Almacora keeps.  Event skipped.");
    if (e.start.IsEmpty()) return Skip(label, "\n\nMissing Start Date.  Event skipped.");
    if (e.name.empty()) return Skip(label, "\n\nMissing Event Name.  Event skipped.");
    if (e.uid.empty()) return Skip(label, "\n\nMissing Event ID.  Event skipped.");
    if (read.exclusionRule &&
        !Ask(label,
             "\n\nEvent contains recurring exception rule (EXRULE) which is not supported by Almacora.\n"
             "Event may calculate invalid occurences.\n\nContinue Importing Event?"))
      return;
    if (read.ruleCount > 1 &&
        !Ask(label,
             "\n\nEvent contains multiple recurrence rules (RRULE) which is not supported by Almacora.\n"
             "Not all occurrences may be displayed.\n\nContinue Importing Event?"))
      return;

    if (read.durationGiven && !read.endGiven) {
      e.end = e.start;
      e.end.AddDuration(read.duration);
      read.endGiven = !e.end.IsEmpty();
    }
    // The exclusive end of a date range ends the day before.
    if (e.allDay && read.endGiven && e.end.GetRawSecondsOfDay() == 0 && e.start < e.end) e.end.AddDays(-1);
    e.showEnd = read.endGiven ? 1 : 0;
    if (read.endGiven) e.recurrence.occurrenceLength.SetBetween(e.start, e.end);

    e.nextOccurrence.Clear();
    ReadExtensions(v, c.producer_, &read);
    ReadAlarms(v, &read);
    if (!read.refusedSound.empty()) c.Note("Event: " + label + "\n\n" + read.refusedSound);
    if (e.nextOccurrence.IsEmpty()) {
      const CDateTime today = CDateTime::Today();
      CDateTime from = today;
      e.GetNextOccurrenceFrom(from, true);
      if (e.oneTime && e.start < today) e.acknowledged = 1;
    }
    // A text without a type says nothing about it: an event the calendar
    // holds keeps its own (a calendar read back unchanged is no update);
    // only an event new to the calendar is typed by the calendar's name.
    const CCalEvent* held = target.FindEventByUid(e.uid);
    const std::string heldType = held ? held->type : std::string();
    if (e.type.empty()) e.type = held ? heldType : target.Header().name;
    for (icalcomponent* o : overrideComponents) ReadOverride(o, c.producer_ == kProducerSelf, &e);
    if (!Storable(e, &scratch))
      return Passed(label, "\n\nEvent cannot be stored in an event file (too large).  Event skipped.");
    if (OlderThanStored(e, label)) return;

    bool failed = false;
    const int result = MergeByUid(target, read, &failed);
    const std::string uid = e.uid;
    const std::string type = e.type;
    const int sequence = e.sequence;
    if (result == 0) {
      e.EnsureDtStamp();
      if (!target.AddEvent(std::move(read.event))) {
        c.cancelled_ = true;
        c.Note("Event: " + label + "\n\nThe calendar could not store it.  Import stopped.");
        return;
      }
      ++c.added_;
    }
    if (failed) {
      c.cancelled_ = true;
      c.Note("Event: " + label + "\n\nThe change was not saved.  Import stopped.");
      return;
    }
    storedSequences[uid] = sequence;
    if (result == 2) return;
    uids.insert(uid);
    // Only a type this text brought to an event can be new to the user.
    if (result == 0 || type != heldType) c.NoteType(type);
    if (result == 1) ++c.updated_;
  }
};

CICalConverter::CICalConverter(IICalPrompts* prompts) : prompts_(prompts) {}

CICalConverter::~CICalConverter() = default;

int CICalConverter::DetectICalProducer(const std::string& prodId) {
  std::string lower = prodId;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  int producer = kProducerUnknown;
  if (lower.find("almacora") != std::string::npos) producer = kProducerSelf;
  if (lower.find("mozilla") != std::string::npos) producer = kProducerMozilla;
  if (lower.find("outlook") != std::string::npos) producer = kProducerOutlook;
  if (lower.find("//ical") != std::string::npos) producer = kProducerIcal;
  return producer;
}

void CICalConverter::LoadTypeNames() {
  typeNames_.clear();
  for (const std::string& name : g_Settings.EventTypeNames) typeNames_[name] = "EXIST";
}

void CICalConverter::NoteType(const std::string& type) {
  if (!type.empty() && !typeNames_.count(type)) typeNames_[type] = "NEW";
}

void CICalConverter::Note(const std::string& line) {
  if (!log_.empty()) log_ += "\n\n";
  log_ += line;
}

void CICalConverter::BeginImport() {
  EnsureLibrary();
  LoadTypeNames();
  cancelled_ = false;
  added_ = 0;
  updated_ = 0;
  skipped_ = 0;
  log_.clear();
}

void CICalConverter::ImportICalString(const std::string& text, IICalTarget& target, bool refresh) {
  BeginImport();
  size_t tooLong = 0;
  ImportBounded(Prepared(text, &tooLong), target, refresh);
  NoteTooLong(tooLong);
}

// Such a property may have taken its event with it (a DTSTART, a BEGIN
// line): the log says so, never a silent loss.
void CICalConverter::NoteTooLong(size_t count) {
  if (count == 0) return;
  Note(std::to_string(count) +
       " line(s) longer than 1 MB were left out: the events they belong to may be incomplete or missing.");
}

namespace {

bool CutOff(icalcomponent* c) { return HasLibraryError(c, "Missing END tag"); }

}  // namespace

// Each component is handled as soon as the parser completes it. A text that
// ends inside a calendar still gives the events it completed; the one it
// cuts off is skipped.
void CICalConverter::ImportBounded(const std::string& bounded, IICalTarget& target, bool refresh) {
  Run run{*this, target, refresh, {}, {}, {}};
  LineSource source{&bounded, 0};
  icalparser* parser = icalparser_new();
  icalparser_set_gen_data(parser, &source);
  const auto handle = [&](icalcomponent* done) {
    const icalcomponent_kind kind = icalcomponent_isa(done);
    if (kind == ICAL_VCALENDAR_COMPONENT) run.Calendar(done);
    else if (kind == ICAL_VEVENT_COMPONENT && !cancelled_) {
      // An event outside any calendar gets one for the time being, to carry
      // the built-in zones its TZIDs name.
      ComponentPtr holder(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
      icalcomponent_add_component(holder.get(), done);
      run.Zones(holder.get());
      run.Event(done, {});
      icalcomponent_remove_component(holder.get(), done);
    }
    // Its zones are freed with it.
    ForgetZoneOnsets();
  };
  for (;;) {
    char* line = icalparser_get_line(parser, NextLine);
    ComponentPtr done(icalparser_add_line(parser, line));
    if (done) handle(done.get());
    if (!line) break;
    std::free(line);
  }
  if (icalcomponent* rest = icalparser_clean(parser)) {
    int cut = 0;
    std::vector<icalcomponent*> drop;
    for (icalcomponent* v = icalcomponent_get_first_component(rest, ICAL_VEVENT_COMPONENT); v;
         v = icalcomponent_get_next_component(rest, ICAL_VEVENT_COMPONENT))
      if (CutOff(v)) drop.push_back(v);
    for (icalcomponent* v : drop) {
      icalcomponent_remove_component(rest, v);
      icalcomponent_free(v);
      ++cut;
    }
    if (CutOff(rest) && icalcomponent_isa(rest) == ICAL_VEVENT_COMPONENT) ++cut;
    else handle(rest);
    skipped_ += cut;
    Note("The text ends before its END:VCALENDAR line: its complete events were read" +
         std::string(cut ? ", " + std::to_string(cut) + " event(s) cut off were skipped." : "."));
  }
  icalparser_free(parser);
}

bool CICalConverter::ImportICalFile(const std::string& path, IICalTarget& target, bool refresh) {
  BeginImport();
  // As a calendar file's path: quotes removed, a bare name in the program's
  // folder.
  std::string cleanPath = path;
  cleanPath.erase(std::remove(cleanPath.begin(), cleanPath.end(), '"'), cleanPath.end());
  if (!cleanPath.empty() && !platform::HasFolderPart(cleanPath)) cleanPath = platform::ProgramFolder() + cleanPath;
  std::string text;
  if (const char* failure = ReadWholeFile(cleanPath, &text)) {
    if (prompts_) prompts_->ShowMessage(failure);
    return false;
  }
  size_t tooLong = 0;
  const std::string bounded = Prepared(text, &tooLong);
  text.clear();
  text.shrink_to_fit();
  ImportBounded(bounded, target, refresh);
  NoteTooLong(tooLong);
  return true;
}
