// CRecurrence: merging rule occurrences with added dates, minus exclusions.
#include "model/recurrence/recurrence.h"

namespace {

// A run of excluded candidates is skipped one candidate per pass. An
// exclusion rule may exclude everything an unbounded rule gives, so the run
// stops after this many passes or once the candidate lies this many days
// past the moment asked about (beyond any one rule search: ten years plus
// a few intervals).
constexpr int kMaxExcludedPasses = 100000;

int64_t HorizonDays(const CRecurrenceRule* rule) {
  int64_t years = 10;
  if (rule) {
    int64_t interval = rule->interval > 0 ? rule->interval : 1;
    int64_t perYear = 1;
    switch (rule->frequency) {
      case CRecurrenceRule::kMonthly: perYear = 12; break;
      case CRecurrenceRule::kWeekly: perYear = 52; break;
      case CRecurrenceRule::kDaily: perYear = 365; break;
      case CRecurrenceRule::kHourly: perYear = 365 * 24; break;
      case CRecurrenceRule::kMinutely: perYear = 365 * 24 * 60; break;
      case CRecurrenceRule::kSecondly: perYear = 365LL * 24 * 3600; break;
      default: break;
    }
    years = rule->yearSearchLimit + 3 * ((interval + perYear - 1) / perYear);
  }
  return years * 366;
}

}  // namespace

CRecurrence::CRecurrence(const CDateTime* seriesStart) : seriesStart_(seriesStart) {
  addedDates.allowBeforeFirst = true;
  excludedDates.allowBeforeFirst = true;
}

CRecurrence::~CRecurrence() = default;

CRecurrence& CRecurrence::operator=(const CRecurrence& other) {
  if (this == &other) return *this;
  occurrenceLength = other.occurrenceLength;
  addedDates = other.addedDates;
  excludedDates = other.excludedDates;
  if (other.rule_) {
    *GetRule() = *other.rule_;
  } else {
    rule_.reset();
  }
  if (other.exclusionRule_) {
    *GetExclusionRule() = *other.exclusionRule_;
  } else {
    exclusionRule_.reset();
  }
  return *this;
}

void CRecurrence::SetSeriesStart(const CDateTime* seriesStart) {
  seriesStart_ = seriesStart;
  if (rule_) rule_->SetSeriesStart(seriesStart);
  if (exclusionRule_) exclusionRule_->SetSeriesStart(seriesStart);
}

CRecurrenceRule* CRecurrence::GetRule() {
  if (!rule_) rule_ = std::make_unique<CRecurrenceRule>(seriesStart_);
  return rule_.get();
}

void CRecurrence::DeleteRule() { rule_.reset(); }

CRecurrenceRule* CRecurrence::GetExclusionRule() {
  if (!exclusionRule_) {
    exclusionRule_ = std::make_unique<CRecurrenceRule>(seriesStart_);
    exclusionRule_->startIsOccurrence = 0;
  }
  return exclusionRule_.get();
}

void CRecurrence::DeleteExclusionRule() { exclusionRule_.reset(); }

bool CRecurrence::IsExcluded(const CDateTime& candidate) {
  if (exclusionRule_) {
    CDateTime x = candidate;
    if (exclusionRule_->GetNextOccurrence(x) == kFound && x == candidate) return true;
  }
  const CDateTime* ex = excludedDates.FindFirstOnOrAfter(candidate);
  return ex && *ex == candidate;
}

int16_t CRecurrence::NextInstance(CDateRange& range) {
  range.end.Clear();
  if (!seriesStart_ || seriesStart_->IsEmpty()) return kNone;
  CDateTime candidate = range.start;
  const int64_t horizon =
      int64_t{(candidate > *seriesStart_ ? candidate : *seriesStart_).GetJulianDay(CDateTime::kAsLocal)} +
      HorizonDays(rule_.get());
  CDateTime end;
  bool endFromAddedDate = false;
  for (int pass = 0;; ++pass) {
    endFromAddedDate = false;
    if (candidate <= *seriesStart_) {
      candidate = *seriesStart_;
    } else {
      CDateTime fromRule = candidate;
      int16_t ruleResult = rule_ ? rule_->GetNextOccurrence(fromRule) : kEnded;
      CDateRange added(candidate);
      bool haveAdded = addedDates.FindOnOrAfter(added);
      if (ruleResult != kFound && !haveAdded) return ruleResult;
      if (ruleResult == kFound && (!haveAdded || fromRule <= added.start)) {
        candidate = fromRule;
      } else {
        candidate = added.start;
        if (added.HasEnd()) {
          end = added.end;
          endFromAddedDate = true;
        }
      }
    }
    if (!IsExcluded(candidate)) break;
    if (pass >= kMaxExcludedPasses || candidate.GetJulianDay(CDateTime::kAsLocal) > horizon) return kNone;
    // One second on lets the rule supply its following occurrence.
    candidate.AddTime(0, 0, 1);
  }
  range.start = candidate;
  if (!endFromAddedDate) {
    end = candidate;
    end.AddDuration(occurrenceLength);
  }
  range.end = end;
  return kFound;
}
