// Saved ISAM positions: a numbered copy of where a data file stands (its
// current record and the ISAM current key of some or all of its indexes),
// to come back to later. The blocks live in a hash table of the engine
// instance (bucket = number modulo the table size) and are freed with it at
// engine stop and ISAM shutdown.
//
// A data file has at most one active saved position: the last one saved or
// restored for it. Before another position of the same file is restored,
// the active one is refreshed from the file's current state, so switching
// between saved positions never loses the place left.
//
// Codes (also kept as the ISAM error, with the number or file it concerns):
// 590 no saved position of that number, 591 it no longer fits its files
// (its data file is not open, or the number is another file now, or a key
// number left the data file or its key length changed; the previously
// active position is restored), 592 the number is taken, 83 no memory,
// 48 not a data file or not one of its indexes, 116 a bad number. The first
// save of a data file number for another file than before frees the
// positions saved for that one.
#pragma once

#include <cstdint>

namespace isam {

// One saved position, followed in the same block by its key entries: per
// entry key number (u16), key length (u16), valid flag (byte) and the key
// image, each entry taking (key length + 13) & ~7 bytes.
struct SavedIsamPosition {
  SavedIsamPosition* next = nullptr;  // bucket chain
  uint8_t* entries = nullptr;         // the key entries behind this header
  uint32_t record = 0;                // the data file's current record (0 none)
  int16_t number = 0;
  int16_t data_file = -1;
  int16_t entry_count = 0;
};

constexpr int kSavedPositionBuckets = 16;
constexpr int kSaveAllKeys = 0x8000;
constexpr int kNextFreeSavedPosition = -1;

// Bytes one key entry of that key length takes.
constexpr uint32_t SavedKeyEntrySize(uint32_t key_length) { return (key_length + 13u) & ~7u; }

// Saves the data file's current record and the current key of index `key`
// (kSaveAllKeys: of every index of the file) under `number` (0..32767, or
// kNextFreeSavedPosition: the next free number after the last one
// assigned, wrapping after 32767; the first is 1). Returns the number, or
// minus the code (592, 83, 48, 116).
int SaveIsamPosition(int data_file, int key, int number);

// Makes a saved position the data file's state again: its current record,
// and for every listed index the ISAM current key and the search position
// (the next index step goes on from that key). 0, 590 or 591.
int RestoreIsamPosition(int number);

// Frees one saved position (590 when there is none) / every saved position
// of a data file (0 also when it had none).
int FreeIsamPosition(int number);
int FreeIsamPositionsOfFile(int data_file);

// Saved positions the current instance holds (for tests and statistics).
int SavedIsamPositionCount();

// Registers the layer hook that frees every saved position (and forgets
// the current set) when the engine stops. Once, before the first start.
void InstallSavedPositionLayer();

}  // namespace isam
