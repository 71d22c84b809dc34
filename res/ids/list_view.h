// Identifiers of the list view area.
#pragma once

// Marks of the event list (and its headings): alarm, notes, snoozed alarm,
// acknowledged occurrence.
#define IDB_LIST_ALARM_MARK 220
#define IDB_LIST_NOTES_MARK 229
#define IDB_LIST_SNOOZED_MARK 231
#define IDB_LIST_ACKNOWLEDGED_MARK 292
