#include "isam/index/file_read_write.h"

#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/os_file_layer.h"

namespace isam {

int FileReadWrite(int mode, FileControlBlock* fcb, uint32_t position, void* buffer, int32_t length,
                  int32_t* count) {
  if (length < 0) return kEngNegativeLength;
  if (length == 0) length = fcb->header.record_length;
  return FilePositionedIo(mode, &fcb->os, position, buffer, length, count);
}

}  // namespace isam
