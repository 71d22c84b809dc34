#include "storage/event_array.h"

#include <algorithm>

#include "model/events/cal_event.h"
#include "model/services/reminder_window.h"

CEventArray::~CEventArray() {
  for (CCalEvent* e : items_) delete e;
  for (CCalEvent* e : parked_) delete e;
  for (CCalEvent* e : detached_) delete e;
}

void CEventArray::Append(CCalEvent* event) {
  // A detached event that comes back (a save answered Yes) is owned here
  // again.
  auto d = std::find(detached_.begin(), detached_.end(), event);
  if (d != detached_.end()) detached_.erase(d);
  event->arrayIndex = static_cast<int32_t>(items_.size());
  items_.push_back(event);
  if (!event->uid.empty()) {
    // The first event of a UID stays the one found, as a walk in array
    // order would find it.
    hashes_[event->calendar].emplace(event->uid, event);
  }
}

void CEventArray::Unhash(CCalEvent* event) {
  auto h = hashes_.find(event->calendar);
  if (h == hashes_.end()) return;
  auto it = h->second.find(event->uid);
  if (it == h->second.end() || it->second != event) return;
  h->second.erase(it);
  // Another event of this UID in the same calendar (rare: an import of a
  // file holding it twice) takes the place.
  for (CCalEvent* other : items_) {
    if (other != event && other->calendar == event->calendar && other->uid == event->uid) {
      h->second.emplace(other->uid, other);
      break;
    }
  }
}

void CEventArray::Renumber(size_t from) {
  for (size_t i = from; i < items_.size(); ++i) items_[i]->arrayIndex = static_cast<int32_t>(i);
}

CCalEvent* CEventArray::TakeAt(size_t index) {
  if (index >= items_.size()) return nullptr;
  CCalEvent* event = items_[index];
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  Unhash(event);
  event->arrayIndex = -1;
  Renumber(index);
  return event;
}

bool CEventArray::Holds(const CCalEvent* event) const {
  if (event == nullptr || event->arrayIndex < 0) return false;
  const size_t i = static_cast<size_t>(event->arrayIndex);
  return i < items_.size() && items_[i] == event;
}

void CEventArray::Rehome(CCalEvent* event, CCalendarFile* calendar) {
  if (!Holds(event)) {
    event->calendar = calendar;
    return;
  }
  Unhash(event);
  event->calendar = calendar;
  if (!event->uid.empty()) hashes_[calendar].emplace(event->uid, event);
}

CCalEvent* CEventArray::FindInCalendar(const CCalendarFile* calendar, const std::string& uid) const {
  auto h = hashes_.find(calendar);
  if (h == hashes_.end()) return nullptr;
  auto it = h->second.find(uid);
  return it == h->second.end() ? nullptr : it->second;
}

CCalEvent* CEventArray::FindAny(const std::string& uid) const {
  CCalEvent* best = nullptr;
  for (const auto& h : hashes_) {
    auto it = h.second.find(uid);
    if (it != h.second.end() && (best == nullptr || it->second->arrayIndex < best->arrayIndex)) best = it->second;
  }
  return best;
}

void CEventArray::FreeEventsOf(const CCalendarFile* calendar) {
  std::vector<CCalEvent*> kept;
  kept.reserve(items_.size());
  for (CCalEvent* e : items_) {
    if (e->calendar == calendar) {
      // The reminder window may still list it: its rows go first.
      if (e->listed && e->reminderWindow) e->reminderWindow->RemoveAlarm(e, -1, nullptr);
      delete e;
    } else {
      kept.push_back(e);
    }
  }
  items_.swap(kept);
  hashes_.erase(calendar);
  Renumber(0);
  // Events taken out earlier but still held (listed in the reminder
  // window, open in the editor) lose their calendar too: their reminder
  // rows go now, and they are freed once nobody holds them.
  for (std::vector<CCalEvent*>* held : {&detached_, &parked_}) {
    for (CCalEvent* e : *held) {
      if (e->calendar != calendar) continue;
      if (e->listed && e->reminderWindow) e->reminderWindow->RemoveAlarm(e, -1, nullptr);
      e->calendar = nullptr;
    }
  }
  // Events someone still holds outlive the calendar: they no longer name it.
  for (CCalEvent* e : parked_)
    if (e->calendar == calendar) e->calendar = nullptr;
  for (CCalEvent* e : detached_)
    if (e->calendar == calendar) e->calendar = nullptr;
}

void CEventArray::ParkForFree(CCalEvent* event) {
  if (event) parked_.push_back(event);
}

void CEventArray::Detach(CCalEvent* event) {
  if (event && std::find(detached_.begin(), detached_.end(), event) == detached_.end()) detached_.push_back(event);
}

void CEventArray::FreeReleased() {
  for (CCalEvent* e : parked_) delete e;
  parked_.clear();
  std::vector<CCalEvent*> held;
  for (CCalEvent* e : detached_) {
    if (e->inEdit || e->listed || e->beingSaved) {
      held.push_back(e);
    } else {
      delete e;
    }
  }
  detached_.swap(held);
}
