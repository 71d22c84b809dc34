// Batch retrieval: many records of a data file read, locked or deleted in
// one engine call, the results packed into the caller's buffer, further
// calls continuing what did not fit. Several batches are kept apart by
// number in a table of the engine instance.
//
// The request word: action (0x7) 1 end, 2 continue, 3 start a retrieval,
// 4 start a deletion (or delete the records of an active retrieval that has
// nothing pending); selection 0x100 partial key, 0x200 record positions
// (a data file), 0x400 exact keys; result format 0x20 record images
// (position, for variable files the length, the image), 0x40 positions,
// 0x80 position and key in value form; 0x10 re-check each record's key
// against the index; lock bits 0x800 (read lock) or 0x1000 / 0x1800
// (write lock, one try) held until the batch ends; 0x2000 a record that
// cannot be locked ends the batch with 423 (else it is skipped).
//
// The request block: +0 in the list count, out records matched; +4 out
// returned by this call; +8 out still pending (a deletion: the records
// deleted); +12 the partial key's length (16-bit) and at +14 its bytes, or
// at +12 the positions (4 bytes each) or keys (key length each, stored
// form). Nothing the caller passes is kept past the call.
//
// Codes (also the ISAM error, with the file number): 421 selection 0x4000
// or none; 422 bad action; 423 lock refused under 0x2000; 424 no memory
// (the batch ends); 425 a batch is active; 426 no batch active; 427
// continue without a result format; 428 nothing more (the batch ends);
// 429 the buffer holds not even one entry; 430 no request block, a
// position list without format 0x20, a negative list count or a partial
// key length outside 1..key length; 101 nothing matched (the batch ends);
// 48 a position list on an index file or a key selection on a data file;
// read and delete codes of the record layer pass through.
#pragma once

#include <cstdint>

namespace isam {
struct EngineCall;
}

namespace isam::maint {

struct BatchState;

// The request itself (number 1483: file, block = request block, block2 =
// buffer, value2 = its length, extra = the request word).
int BatchRequest(int16_t file, void* request, void* buffer, int32_t buffer_length, int32_t word);
int BatchRequestCall(EngineCall* call);

// The table of numbered batches (max(1, hash_size) buckets): init makes
// batch 0 current (184 exists, 185 no memory); select saves the current
// batch under its number and makes `number`'s current, new ones empty
// (185); free-all ends every batch (its locks released) and frees the
// table, or ends the current batch without one. 0 or the code.
int BatchTableInit();
int BatchSelect(int16_t number);
int BatchFreeAll();

// The current batch (null when none was ever started) and ending it.
BatchState* CurrentBatch(bool create);
void EndBatch(BatchState* b);

}  // namespace isam::maint
