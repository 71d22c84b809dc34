#include "storage/engine_error_text.h"

#include <cstdio>

std::string EngineErrorText(int code) {
  switch (code) {
    case 2: return "Error. Key already in index";
    case 12: return "Error. Could not open file.";
    case 14: return "The calendar file is being rebuilt by another program. Try again once it has finished.";
    case 16:
    case 17: return "Error. Could not create file.";
    case 18:
    case 19: return "Error. Tried to create existing file.";
    case 35:
    case 36: return "The calendar file could not be read: the disk reported an error.";
    case 37: return "The calendar file could not be written: the disk reported an error or is full.";
    case 38: return "The calendar file could not be opened again: it may have been moved or its disk removed.";
    case 42: return "Error saving event to disk.\n\nThe event is currently being updated\nby another user or process.";
    case 46: return "Error opening event file.  File number is already in use.";
    case 49: return "What was written could not be made safe on the disk: the disk reported an error.";
    case 50:
    case 156:
    case 653: return "The calendar file is busy: another program kept it locked too long. Try again in a moment.";
    case 101: return "Key not found.";
    case 160: return "An event could not be read: its record in the calendar file is damaged.";
    case 407: return "The calendar file is damaged: the part that describes its contents cannot be read.";
    case 413: return "Error opening event file.";
    case 690: return "The calendar file is damaged: parts of it cannot be read.";
    default: break;
  }
  char text[96];
  std::snprintf(text, sizeof text, "The calendar file could not be used (the file engine answered %d).", code);
  return text;
}
