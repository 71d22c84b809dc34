#include "isam/index/resource_anchor.h"

#include "isam/index/btree_bytes.h"
#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_instance.h"

namespace isam {

uint32_t ResourceStretchSize(const FileControlBlock* fcb, uint32_t data_length) {
  const uint32_t need = data_length + kResourceHeaderSize;
  const FileHeader& h = fcb->header;
  uint32_t unit = 1;
  if (h.file_type == kFileTypeFixed) unit = h.record_length;
  else if (h.file_type == kFileTypeIndex) unit = h.node_size;
  if (unit <= 1) return need;
  return (need + unit - 1) / unit * unit;
}

int WriteResourceAnchor(FileControlBlock* fcb) {
  if (fcb->header.first_resource != 0) return SetEngineError(400);
  const FileHeader& h = fcb->header;
  const uint32_t size = ResourceStretchSize(fcb, kAnchorDataSize);
  uint32_t align = 1;
  if (h.file_type == kFileTypeFixed) align = h.record_length;
  else if (h.file_type == kFileTypeIndex) align = h.node_size;
  const uint32_t at = ExtendFile(fcb, size, align);
  if (at == 0) return CurrentInstance()->eng_err;
  uint8_t rec[kResourceHeaderSize + kAnchorDataSize] = {};
  PutLe16(rec + 0, kResourceMark);
  PutLe32(rec + 2, size);
  PutLe32(rec + 6, kAnchorDataSize);
  PutLe32(rec + 10, h.superfile_member);
  PutLe32(rec + 14, at);  // the chain of one closes on itself
  PutLe32(rec + 18, at);
  int32_t count = 0;
  if (int rc = FilePositionedIo(1, &HolderOf(fcb)->os, at, rec, sizeof rec, &count))
    return SetEngineError(rc);
  if (int rc = LockFileHeader(fcb)) return rc;
  fcb->header.first_resource = at;
  const int rc = WriteFileHeader(fcb);
  UnlockFileHeader(fcb);
  return rc;
}

int WriteFirstResource(FileControlBlock* fcb) {
  if (fcb->header.first_resource != 0) return SetEngineError(400);
  if (IsShared(fcb)) return SetEngineError(402);
  return WriteResourceAnchor(fcb);
}

}  // namespace isam
