// The walk over the parser's object tree: VCALENDARs, their VEVENTs and
// the properties that become an event's fields.
#include "storage/convert/vcal_import.h"

#include <cctype>
#include <cstring>
#include <memory>

#include "model/events/cal_event.h"
#include "platform/code_page.h"
#include "storage/convert/import_target.h"

extern "C" {
#include <libical/vcc.h>
#include <libical/vobject.h>
}

namespace {

// DALARM and AALARM apply their children by the property table; their
// children are parameters, so the walk never goes deeper than this.
constexpr int kMaxPropertyDepth = 4;

bool NameIs(VObject* object, const char* name) {
  const char* n = vObjectName(object);
  return n != nullptr && std::strcmp(n, name) == 0;
}

bool SameNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

// CHARSET=UTF-8 among the property's parameters (the parser keeps each as a
// child holding its value as text).
bool NamesUtf8(VObject* property) {
  VObjectIterator it;
  initPropIterator(&it, property);
  while (moreIteration(&it)) {
    VObject* parameter = nextVObject(&it);
    if (parameter == nullptr || !NameIs(parameter, "CHARSET") || vObjectValueType(parameter) != VCVT_STRINGZ)
      continue;
    const char* value = vObjectStringZValue(parameter);
    if (value != nullptr && (SameNoCase(value, "UTF-8") || SameNoCase(value, "UTF8"))) return true;
  }
  return false;
}

// The value's bytes, only when the parser holds it as text: a BASE64 value
// is raw bytes without terminator, an alarm may have no value, and
// parameters such as DATASIZE hold numbers.
bool RawValueText(VObject* property, std::string* text) {
  switch (vObjectValueType(property)) {
    case VCVT_STRINGZ: {
      const char* s = vObjectStringZValue(property);
      if (s == nullptr) return false;
      *text = s;
      return true;
    }
    case VCVT_USTRINGZ: {
      const wchar_t* wide = vObjectUStringZValue(property);
      if (wide == nullptr) return false;
      char* narrow = fakeCString(wide);
      if (narrow == nullptr) return false;
      *text = narrow;
      deleteStr(narrow);
      return true;
    }
    default:
      return false;
  }
}

// The value as text in the code page: a CHARSET=UTF-8 value (the parser
// hands over its bytes, quoted-printable undone) is read as UTF-8; others
// are taken as the code page's own bytes.
bool ValueText(VObject* property, std::string* text) {
  if (!RawValueText(property, text)) return false;
  if (NamesUtf8(property)) *text = platform::Utf8ToAnsi(*text);
  return true;
}

void ApplyProperties(VObject* parent, CCalEvent* event, int depth);

void ApplyProperty(VObject* property, CCalEvent* event, int depth) {
  const char* name = vObjectName(property);
  if (name == nullptr) return;
  std::string value;
  const bool hasText = ValueText(property, &value);
  if (std::strcmp(name, "DALARM") == 0 || std::strcmp(name, "AALARM") == 0) {
    event->alarmOn = 1;
    ApplyProperties(property, event, depth + 1);
    return;
  }
  if (!hasText) return;
  if (std::strcmp(name, "DTSTART") == 0) {
    event->start.ParseICal(value);
  } else if (std::strcmp(name, "DTEND") == 0) {
    if (event->end.ParseICal(value)) event->showEnd = 1;
  } else if (std::strcmp(name, "DCREATED") == 0) {
    event->created.ParseICal(value);
  } else if (std::strcmp(name, "LAST-MODIFIED") == 0) {
    event->lastModified.ParseICal(value);
  } else if (std::strcmp(name, "UID") == 0) {
    event->uid = value;
  } else if (std::strcmp(name, "SUMMARY") == 0) {
    event->name = value;
  } else if (std::strcmp(name, "DESCRIPTION") == 0) {
    event->notes = value;
  } else if (std::strcmp(name, "CATEGORIES") == 0) {
    event->type = value;
  } else if (std::strcmp(name, "X-KV-ALL-DAY") == 0) {
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    event->allDay = value == "true" ? 1 : 0;
  } else if (std::strcmp(name, "RUNTIME") == 0) {
    event->alarmRunTime.ParseICal(value);
  }
  // RRULE and RDATE are read but not applied: the events stay one-time.
}

void ApplyProperties(VObject* parent, CCalEvent* event, int depth) {
  if (depth > kMaxPropertyDepth) return;
  VObjectIterator it;
  initPropIterator(&it, parent);
  while (moreIteration(&it)) {
    VObject* child = nextVObject(&it);
    if (child != nullptr) ApplyProperty(child, event, depth);
  }
}

// A new event from one VEVENT, or null when it has no usable DTSTART.
std::unique_ptr<CCalEvent> EventFromVEvent(VObject* vevent) {
  auto event = std::make_unique<CCalEvent>();
  event->oneTime = 1;
  event->allDay = 0;
  event->showEnd = 0;
  event->alarmOn = 0;
  event->dtStamp = CDateTime();
  event->start = CDateTime();
  event->end = CDateTime();
  ApplyProperties(vevent, event.get(), 0);
  if (event->start.IsEmpty()) return nullptr;
  CDateTime from = event->start;
  event->GetNextOccurrenceFrom(from, true);
  if (event->alarmOn && event->alarmRunTime.GetRawJulianDay() != 0)
    event->leadTime.SetBetween(event->alarmRunTime, event->start);
  event->recurrence.occurrenceLength = event->GetOccurrenceLength();
  return event;
}

void ImportCalendar(VObject* calendar, IImportTarget* target, VCalImportCounts* counts) {
  VObjectIterator it;
  initPropIterator(&it, calendar);
  while (moreIteration(&it)) {
    VObject* child = nextVObject(&it);
    if (child == nullptr || !NameIs(child, "VEVENT")) continue;
    ++counts->events;
    std::unique_ptr<CCalEvent> event = EventFromVEvent(child);
    if (!event) {
      ++counts->skipped;
      continue;
    }
    if (target->AddImportedEvent(std::move(event))) ++counts->added;
  }
}

}  // namespace

void ImportVCalendarText(const std::string& text, IImportTarget* target, VCalImportCounts* counts) {
  const std::string input = PrepareVCalendarText(text);
  VObject* object = Parse_MIME(input.data(), static_cast<unsigned long>(input.size()));
  while (object != nullptr) {
    if (NameIs(object, "VCALENDAR")) ImportCalendar(object, target, counts);
    VObject* next = nextVObjectInList(object);
    cleanVObject(object);
    object = next;
  }
}
