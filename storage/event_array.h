// CEventArray: every loaded event of every open calendar, in array order,
// owned here. Each event keeps its own index (arrayIndex) and its calendar;
// the array keeps one UID hash per calendar so lookups by UID do not walk
// the whole array (re-syncs and imports look up every record they read).
//
// Events taken out of the array are either freed at once (Free...), parked
// until the views have been refreshed (ParkForFree: a merge that learned of
// a delete elsewhere), or detached (Detach: a caller may still hold them;
// they are freed when no one can: not in the editor, not listed, or at the
// end). Nothing here touches files.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CCalEvent;
class CCalendarFile;

class CEventArray {
 public:
  CEventArray() = default;
  ~CEventArray();
  CEventArray(const CEventArray&) = delete;
  CEventArray& operator=(const CEventArray&) = delete;

  size_t size() const { return items_.size(); }
  CCalEvent* at(size_t i) const { return items_[i]; }
  const std::vector<CCalEvent*>& items() const { return items_; }

  // Appends an event (takes ownership): its index is stored in it and it
  // joins its calendar's UID hash.
  void Append(CCalEvent* event);
  // Takes the event at the index out (ownership goes to the caller),
  // renumbering the rest. Null for a bad index.
  CCalEvent* TakeAt(size_t index);
  // Whether this very event is in the array.
  bool Holds(const CCalEvent* event) const;
  // The event's calendar changes while it stays in the array.
  void Rehome(CCalEvent* event, CCalendarFile* calendar);
  // The event with that UID in one calendar, or null.
  CCalEvent* FindInCalendar(const CCalendarFile* calendar, const std::string& uid) const;
  // The first event in array order with that UID, in any calendar.
  CCalEvent* FindAny(const std::string& uid) const;
  // Frees every event of the calendar and takes it out.
  void FreeEventsOf(const CCalendarFile* calendar);

  // Ownership of events out of the array.
  void ParkForFree(CCalEvent* event);
  void Detach(CCalEvent* event);
  // Frees the parked events, and the detached ones nobody can hold now.
  void FreeReleased();

  // Merges since the last TakeChanged (the document sends one view update
  // per re-sync).
  void NoteChanged() { changed_ = true; }
  bool TakeChanged() {
    const bool c = changed_;
    changed_ = false;
    return c;
  }

 private:
  using UidHash = std::unordered_map<std::string, CCalEvent*>;
  void Unhash(CCalEvent* event);
  void Renumber(size_t from);

  std::vector<CCalEvent*> items_;
  std::unordered_map<const CCalendarFile*, UidHash> hashes_;
  std::vector<CCalEvent*> parked_;
  std::vector<CCalEvent*> detached_;
  bool changed_ = false;
};
