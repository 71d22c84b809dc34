// CICalConverter: events to iCalendar text and iCalendar text into a
// calendar. One object per run, on the stack of the caller.
//
// Export writes the program's own dialect: standard properties where they
// exist and X-AK-* properties for the rest, so that the importer gives back
// the same events. Import updates events of the same UID instead of adding
// them twice, keeps the held alarm state when the text carries none, and
// never switches on an e-mail action or reaches a network sound file.
//
// Texts cross the library as UTF-8 and are held in the ANSI code page.
// Hostile text is bounded before the library sees it: nesting deeper than
// kMaxNesting levels and properties longer than kMaxPropertyBytes are left
// out, a component keeps its first kMaxPropertiesPerComponent properties,
// and every value is bounded to what a calendar record can store.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "storage/ical/ical_target.h"

class CCalEvent;

class CICalConverter {
 public:
  // Producer classes of an imported text (from its PRODID).
  static constexpr int kProducerUnknown = 0;
  static constexpr int kProducerSelf = 1;
  static constexpr int kProducerMozilla = 2;
  static constexpr int kProducerOutlook = 3;
  static constexpr int kProducerIcal = 4;

  static constexpr int kMaxNesting = 32;
  static constexpr size_t kMaxPropertyBytes = 1u << 20;
  static constexpr size_t kMaxPropertiesPerComponent = 12000;

  // prompts may be null: every question then answers cancel / No.
  explicit CICalConverter(IICalPrompts* prompts = nullptr);
  ~CICalConverter();
  CICalConverter(const CICalConverter&) = delete;
  CICalConverter& operator=(const CICalConverter&) = delete;

  // ---- Export. The header comes from `header`; events whose
  // alarm-suppressed or disabled flag is set are left out. Each event is
  // followed by one VEVENT per override.
  std::string ExportEventICal(const CCalEvent& event, const ICalCalendarHeader& header);
  std::string ExportCalendarICal(const std::vector<const CCalEvent*>& events, const ICalCalendarHeader& header);
  // Set by an export when an event uses a rule other programs may not
  // reproduce (Easter, BYYEARDAY, BYWEEKNO, BYSETPOS, a BY list cut short).
  bool HasAdvancedRule() const { return advancedRule_ != 0; }

  // ---- Import into `target`. The refresh flag comes from a subscription's
  // refresh. Both fill the counts and the type-name map. A file's path
  // loses its double quotes, and a bare file name is looked for in the
  // program's folder.
  // A file that cannot be read shows "Error opening file" and answers false;
  // otherwise true (also when events were skipped or the run cancelled).
  bool ImportICalFile(const std::string& path, IICalTarget& target, bool refresh = false);
  void ImportICalString(const std::string& text, IICalTarget& target, bool refresh = false);

  // What was stored: events added and held events changed. Skipped: events
  // of the text not stored (refused, answered No, a lower SEQUENCE of a UID
  // this run stored already, in a calendar that is not read, or cut off).
  int GetAddedCount() const { return added_; }
  int GetUpdatedCount() const { return updated_; }
  int GetSkippedCount() const { return skipped_; }
  // One line (or message) per thing the run passed over, "" when none.
  const std::string& GetLog() const { return log_; }
  bool IsCancelled() const { return cancelled_; }
  int GetProducerClass() const { return producer_; }
  // Event-type name -> "EXIST" (a type of the settings) or "NEW" (first
  // seen in this run).
  const std::map<std::string, std::string>& GetTypeNames() const { return typeNames_; }

  // The producer class of a PRODID text (case-insensitive; the last of
  // "almacora", "mozilla", "outlook", "//ical" found wins).
  static int DetectICalProducer(const std::string& prodId);

 private:
  struct Run;
  friend struct Run;

  void BeginImport();
  void ImportBounded(const std::string& bounded, IICalTarget& target, bool refresh);
  void LoadTypeNames();
  void NoteType(const std::string& type);
  void Note(const std::string& line);
  void NoteTooLong(size_t count);

  IICalPrompts* prompts_;
  std::map<std::string, std::string> typeNames_;
  std::string prodId_;
  int producer_ = kProducerUnknown;
  bool cancelled_ = false;
  int added_ = 0;
  int updated_ = 0;
  int skipped_ = 0;
  std::string log_;
  int advancedRule_ = 0;
};
