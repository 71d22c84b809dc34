// The event record of a calendar file: one engine record per event,
//
//   offset 0  1 byte   kind: 0 live event, 1 deleted event (tombstone)
//   offset 1  1 byte   always 1
//   offset 2  4 bytes  sequence number (SEQUENCE)
//   offset 6  4 bytes  change serial
//   offset 10          tagged items (field_buffer.h), the UID first
//
// so the UID text starts at offset 14, where the calendar's unique index
// takes it. Which item carries which field, and when it is written, is in
// event_codec.cpp; fields that follow a program setting (-2, empty text)
// are not written and read back as they are.
#pragma once

#include <cstddef>
#include <cstdint>

class CCalEvent;
class CFieldBuffer;
struct FieldItem;

constexpr uint32_t kEventRecordHeaderSize = 10;
constexpr uint8_t kEventRecordLive = 0;
constexpr uint8_t kEventRecordDeleted = 1;
// The longest record a calendar file's reader takes; a longer length is
// read as damage. The encoder refuses to build one, so that nothing is
// stored that would stop every later load at that record.
constexpr uint32_t kLargestEventRecord = 16u * 1024 * 1024;

struct EventRecordHeader {
  uint8_t kind = kEventRecordLive;
  int32_t sequence = 0;
  int32_t changeSerial = 0;
};

// Builds the whole record of the event in the buffer (which is reset
// first): the header with the given kind and the event's sequence and
// change serial, then every item. False when the event has no UID (such a
// record would have no key) or when any item could not be written (out of
// memory, a text too long for an item, a value outside its stored range,
// a record longer than kLargestEventRecord): the buffer then holds no
// usable record and must not be stored.
bool EncodeEventRecord(const CCalEvent& event, uint8_t kind, CFieldBuffer* buffer);

// Fills an event from a record. The event should be newly constructed: the
// reader empties its type, marks it one-time and clears its DTSTAMP, and
// every field without an item keeps its constructed value. Sequence and
// change serial come from the header (also returned in *header when
// given). A record shorter than the header yields those defaults only.
// Returns false when the record is malformed (an item cut off or running
// past the record, a value out of range): reading stops there, the event
// holds what came before and must not be used as a loaded event.
bool DecodeEventRecord(const uint8_t* record, size_t size, CCalEvent* event, EventRecordHeader* header = nullptr);

// Takes one item into the event, by its tag; an unknown tag (a newer
// version's item) is skipped and counts as read. False when the item's
// value cannot be read (wrong size, out of range).
bool ReadEventItem(const FieldItem& item, CCalEvent* event);

// True when storing the event needs a file of version 5.0: its rule is an
// Easter rule, has BYSETPOS entries or a day offset (either sign).
bool EventNeedsVersion5(const CCalEvent& event);
