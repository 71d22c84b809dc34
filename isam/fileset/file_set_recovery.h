// Bringing a file set back after a writer died in the middle of a change.
// The data file's header counts the writers that have not closed cleanly
// (index/writer_mark.h); an open that finds that count above zero while no
// other opener holds the data file mends what the write order can leave
// (see isam/record/README.md) and sets the count back to zero. An open that
// finds another opener beside it leaves the mend to whoever next opens the
// set alone. A sound file costs only the header read.
#pragma once

namespace isam {

// Called by the file-set open once every file of the set is open: nothing
// (0) when the data file is read-only, its writers all closed cleanly or
// another opener holds it; else the mend (and, when the full check then
// finds the set not whole, every index built again from the records,
// file_set_reindex.h), 0 when the set is consistent again and flushed,
// kErrFileDamaged (690) when it is not (the count then stays, a line goes
// to the status log), or an I/O code. The look at the count and the mend
// run under the data file's header lock, which every open takes here, so an
// opener arriving during another's mend waits for its end: the lock's
// 50 / 653 when the wait runs out. Traces of writes a power cut lost
// (FindTracesOfLostWrites) send the set straight to the rebuild; records
// the mend or the rebuild sets aside are in the thread's mend report
// (file_set_mend_report.h). A stretch header that makes no sense stops
// the rebuild's walk only until it is passed over to the next sound one.
int RecoverFileSetIfNeeded(int data_file);

// The mend itself, whatever the mark says (the caller must be alone).
int MendFileSet(int data_file);

}  // namespace isam
