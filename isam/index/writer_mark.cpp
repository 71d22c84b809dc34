#include "isam/index/writer_mark.h"

#include <ctime>

#include "isam/index/header_lock.h"

namespace isam {

int MarkWriter(FileControlBlock* fcb) {
  if (fcb->writer_marked) return 0;
  HeaderLock lock(fcb);
  if (lock.rc() != 0) return lock.rc();
  ++fcb->header.reserved72;
  if (int rc = WriteFileHeader(fcb)) return rc;
  // On the disk before any update: after a power cut the next open must
  // find the mark of every writer whose changes may have reached it.
  if (int rc = OsFlushFile(&fcb->os)) return rc;
  fcb->writer_marked = true;
  return 0;
}

void UnmarkWriterForClose(FileControlBlock* fcb) {
  if (fcb->writer_marked && fcb->header.reserved72 > 0) --fcb->header.reserved72;
  fcb->writer_marked = false;
  fcb->header.close_time = static_cast<uint32_t>(std::time(nullptr));
}

int64_t UncleanWriters(FileControlBlock* fcb) {
  if (fcb->header_lock_depth == 0 && ReadFileHeader(fcb) != 0) return -1;
  return fcb->header.reserved72;
}

int ClearWriterMarks(FileControlBlock* fcb) {
  HeaderLock lock(fcb);
  if (lock.rc() != 0) return lock.rc();
  fcb->header.reserved72 = 0;
  fcb->writer_marked = false;
  return WriteFileHeader(fcb);
}

}  // namespace isam
