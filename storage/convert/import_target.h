// Where the importers and the old-file readers put the events they make.
// The document (or a calendar file) implements it; tests collect the events.
#pragma once

#include <memory>

class CCalEvent;

class IImportTarget {
 public:
  virtual ~IImportTarget() = default;

  // Stores one event made by an import and takes it over (on failure it is
  // freed). An event whose UID the target already holds replaces that
  // event's fields rather than adding a second copy of the UID; an event
  // without UID gets a new one and is always added. True when stored;
  // false when the store failed (the target has told the user).
  virtual bool AddImportedEvent(std::unique_ptr<CCalEvent> event) = 0;
};
