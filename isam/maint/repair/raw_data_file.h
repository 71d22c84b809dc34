// A data file opened raw for examination: exclusive, its header read but
// not checked, its control block in the rebuild state (so no ordinary call
// reaches it). Closing it writes nothing: what the repair changed it wrote
// itself, and a clean file stays byte for byte as it was.
#pragma once

namespace isam {
struct FileControlBlock;
}

namespace isam::maint {

// 0 with *out set; 22 / 47 the number, 46 in use, 603 no control block,
// 12 the OS open failed, 36 a header that cannot be read whole.
int OpenRawDataFile(int number, const char* path, FileControlBlock** out);
void CloseRawDataFile(FileControlBlock* fcb);

}  // namespace isam::maint
