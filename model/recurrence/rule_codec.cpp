// The recurrence-rule item of the tagged-field codec (tags 500..514): its
// writer on CFieldBuffer and its reader on CFieldReader. Both apply one set
// of value ranges, so a rule the writer accepts always reads back and a
// damaged one is refused instead of reaching the rule engine.
#include <cstdint>
#include <vector>

#include "model/events/field_buffer.h"
#include "model/events/field_buffer_reader.h"
#include "model/events/field_buffer_tags.h"
#include "model/recurrence/recurrence_rule.h"

namespace {

struct Range {
  int lo;
  int hi;
  bool zeroAllowed;
};

constexpr Range kWeekdays{1, 7, false};
constexpr Range kOrdinals{-53, 53, true};
constexpr Range kMonthDays{-31, 31, false};
constexpr Range kWeekNumbers{-53, 53, false};
constexpr Range kYearDays{-366, 366, false};
constexpr Range kSetPositions{-366, 366, false};
constexpr Range kMonths{1, 12, false};

bool InRange(const std::vector<int16_t>& values, const Range& r) {
  for (int16_t v : values) {
    if (v < r.lo || v > r.hi || (v == 0 && !r.zeroAllowed)) return false;
  }
  return true;
}

// The checks both directions share. A frequency of 0 (unset) is a rule
// that selects nothing but its start; it is stored as it is.
bool StoredFieldsValid(const CRecurrenceRule& rule) {
  return rule.frequency >= CRecurrenceRule::kUnset && rule.frequency <= CRecurrenceRule::kEaster &&
         rule.weekStart >= 1 && rule.weekStart <= 7 && rule.count >= 0 && rule.offsetDays >= INT16_MIN &&
         rule.offsetDays <= INT16_MAX && InRange(rule.byDayWeekdays, kWeekdays) &&
         InRange(rule.byDayOrdinals, kOrdinals) &&
         (rule.byDayOrdinals.empty() || rule.byDayOrdinals.size() == rule.byDayWeekdays.size()) &&
         InRange(rule.byMonthDay, kMonthDays) && InRange(rule.byWeekNo, kWeekNumbers) &&
         InRange(rule.byYearDay, kYearDays) && InRange(rule.bySetPos, kSetPositions) &&
         InRange(rule.byMonth, kMonths);
}

}  // namespace

bool CFieldBuffer::PutRecurrenceRule(uint16_t tag, const CRecurrenceRule& rule) {
  const bool easter = rule.frequency == CRecurrenceRule::kEaster;
  if (!StoredFieldsValid(rule)) return Fail();
  uint32_t header = 0;
  if (!BeginNested(tag, &header)) return false;
  PutShort(fieldtag::kRuleFrequency, easter ? static_cast<int32_t>(CRecurrenceRule::kYearly) : static_cast<int32_t>(rule.frequency));
  if (easter) PutShort(fieldtag::kRuleEaster, 1);
  PutShort(fieldtag::kRuleWeekStart, rule.weekStart);
  PutInt(fieldtag::kRuleInterval, rule.interval);
  PutInt(fieldtag::kRuleCount, rule.count);
  // Lists the rule filled from its start are not stored: a reloaded rule
  // fills them again from its (possibly changed) start.
  if (!rule.byDayAutoFilled) {
    PutByteList(fieldtag::kRuleByDayWeekdays, rule.byDayWeekdays);
    std::vector<int16_t> ordinals = rule.byDayOrdinals;
    if (ordinals.empty()) ordinals.assign(rule.byDayWeekdays.size(), 0);
    PutByteList(fieldtag::kRuleByDayOrdinals, ordinals);
  }
  PutByteList(fieldtag::kRuleByMonthDay, rule.byMonthDay);
  PutByteList(fieldtag::kRuleByWeekNo, rule.byWeekNo);
  if (!rule.byMonthAutoFilled) PutByteList(fieldtag::kRuleByMonth, rule.byMonth);
  PutWordList(fieldtag::kRuleByYearDay, rule.byYearDay);
  PutWordList(fieldtag::kRuleBySetPos, rule.bySetPos);
  if (rule.until.GetJulianDay(CDateTime::kAsLocal) != 0) PutDateTime(fieldtag::kRuleUntil, rule.until);
  PutShort(fieldtag::kRuleOffsetDays, rule.offsetDays);
  if (!rule.zone.empty()) PutString(fieldtag::kRuleZone, rule.zone);
  if (!rule.writtenStart.IsEmpty()) PutDateTime(fieldtag::kRuleWrittenStart, rule.writtenStart);
  return EndNested(tag, header);
}

bool CFieldReader::ReadRecurrenceRule(const FieldItem& item, CRecurrenceRule* rule) {
  CRecurrenceRule r(rule->GetSeriesStart());
  // Not stored: the target keeps what it is (an exclusion rule does not
  // count its series start as an occurrence).
  r.startIsOccurrence = rule->startIsOccurrence;
  r.yearSearchLimit = rule->yearSearchLimit;
  bool easter = false;
  bool haveOrdinals = false;
  CFieldReader walk(item);
  FieldItem f;
  while (walk.Next(&f)) {
    bool ok = true;
    int16_t s = 0;
    switch (f.tag) {
      case fieldtag::kRuleFrequency:
        ok = ReadShort(f, &s) && s >= CRecurrenceRule::kUnset && s <= CRecurrenceRule::kYearly;
        if (ok) r.frequency = s;
        break;
      case fieldtag::kRuleEaster:
        // Applied after the whole item: an Easter mark before the
        // frequency item must not be overwritten by it.
        ok = ReadShort(f, &s);
        easter = ok && s == 1;
        break;
      case fieldtag::kRuleWeekStart:
        ok = ReadShort(f, &s);
        r.weekStart = s;
        break;
      case fieldtag::kRuleInterval:
        ok = ReadInt(f, &r.interval);
        break;
      case fieldtag::kRuleCount:
        ok = ReadInt(f, &r.count);
        break;
      case fieldtag::kRuleByDayWeekdays:
        ok = ReadByteList(f, &r.byDayWeekdays);
        break;
      case fieldtag::kRuleByDayOrdinals:
        ok = ReadByteList(f, &r.byDayOrdinals);
        haveOrdinals = ok;
        break;
      case fieldtag::kRuleByMonthDay:
        ok = ReadByteList(f, &r.byMonthDay);
        break;
      case fieldtag::kRuleByWeekNo:
        ok = ReadByteList(f, &r.byWeekNo);
        break;
      case fieldtag::kRuleByMonth:
        ok = ReadByteList(f, &r.byMonth);
        break;
      case fieldtag::kRuleByYearDay:
        ok = ReadWordList(f, &r.byYearDay);
        break;
      case fieldtag::kRuleBySetPos:
        ok = ReadWordList(f, &r.bySetPos);
        break;
      case fieldtag::kRuleUntil:
        ok = ReadDateTime(f, &r.until);
        break;
      case fieldtag::kRuleOffsetDays:
        ok = ReadShort(f, &s);
        r.offsetDays = s;
        break;
      case fieldtag::kRuleZone:
        ok = ReadString(f, &r.zone);
        break;
      case fieldtag::kRuleWrittenStart:
        ok = ReadDateTime(f, &r.writtenStart);
        break;
      default:
        break;
    }
    if (!ok) return false;
  }
  if (walk.HasError()) return false;
  if (easter) r.frequency = CRecurrenceRule::kEaster;
  if (!haveOrdinals) r.byDayOrdinals.assign(r.byDayWeekdays.size(), 0);
  if (!StoredFieldsValid(r) || r.byDayOrdinals.size() != r.byDayWeekdays.size()) return false;
  *rule = r;
  return true;
}
