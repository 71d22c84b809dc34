// Write batches: many rewrites of one data file that reach the disk with
// one flush between their new forms and their keys.
//
// A rewrite that moves its record writes the new form, flushes, and only
// then moves the keys and lets the old form go (a power cut may drop any
// page written since the last flush, so the new form must be on the disk
// before a key names it). Inside a batch of its data file, such a rewrite
// writes its new form and stops there (its answer is the write's); the
// end of the batch flushes the file once and then, for every deferred
// rewrite in turn, moves its keys and lets its old form go. The ordering
// each record needs holds for every record of the batch, so a crash
// leaves what a crash between single rewrites leaves.
//
// Until the end, a read by key still finds a deferred record's old form,
// while the record made current is its new form. A rewrite or delete of a
// deferred record (by either form) ends the batch's pending part first and
// then works on the new form. Adds, deletes and in-place rewrites run at
// once, as outside a batch; a file kept for transaction mode 2 keeps its
// own ordering and defers nothing. The batch also holds the file's I/O
// step (the range lock of os_file_layer.h) until its end, so its calls do
// not take and give back that lock one by one.
#pragma once

#include <cstdint>
#include <vector>

namespace isam {

struct FileControlBlock;

// Begins a batch of the data file (a batch already open nests: only the
// outermost end finishes it). 0; 26 when the number is no open data file.
int BeginWriteBatch(int file);

// Ends one level; the outermost flushes and finishes the deferred
// rewrites. 0, or the first failure: the flush's (49; every deferred new
// form is then given back and the records keep their old forms), or a
// key move's (that record keeps its old form, the rest go on). 26 when no
// batch of the file is open.
int EndWriteBatch(int file);

// Finishes the deferred rewrites of the file's batch now (the batch stays
// open): the same answers as the end. 0 when there is no batch.
int FinishPendingRewrites(int file);

// Whether a rewrite of the file is to be deferred now.
bool DefersRewrites(int file);

}  // namespace isam
