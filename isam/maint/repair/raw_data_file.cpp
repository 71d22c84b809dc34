// Raw open and close of a data file for examination.
#include "isam/maint/repair/raw_data_file.h"

#include <cstdint>

#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/runtime_utils.h"

namespace isam::maint {

int OpenRawDataFile(int number, const char* path, FileControlBlock** out) {
  *out = nullptr;
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return 47;
  if (number < 0 || number >= inst->file_count) return 22;
  FileControlBlock* fcb = GetFileControlBlock(number);
  if (fcb == nullptr) return 603;
  if (fcb->state != kStateFree) return 46;
  *fcb = FileControlBlock{};
  fcb->number = static_cast<int16_t>(number);
  fcb->os.owner = fcb;
  fcb->host = fcb;
  CopyBoundedString(fcb->name, path, sizeof fcb->name);
  if (OsOpenFile(&fcb->os, fcb->name, 0) != 0) {
    *fcb = FileControlBlock{};
    fcb->number = static_cast<int16_t>(number);
    fcb->os.owner = fcb;
    return 12;
  }
  fcb->state = kStateRebuild;
  uint8_t raw[kFileHeaderSize];
  int32_t count = 0;
  int rc = FilePositionedIo(0, &fcb->os, 0, raw, static_cast<int32_t>(kFileHeaderSize), &count);
  if (rc == 0 && count != static_cast<int32_t>(kFileHeaderSize)) rc = 36;
  if (rc != 0) {
    CloseRawDataFile(fcb);
    return rc;
  }
  DecodeFileHeader(raw, &fcb->header);
  fcb->disk_header = fcb->header;
  fcb->disk_header_known = true;
  // Exclusive whatever the header remembers of its last opener.
  fcb->header.open_mode = static_cast<uint16_t>(fcb->header.file_type == kFileTypeVariable ? kModeVariable : 0);
  *out = fcb;
  return 0;
}

void CloseRawDataFile(FileControlBlock* fcb) {
  if (fcb == nullptr) return;
  const int16_t number = fcb->number;
  OsCloseFile(&fcb->os);
  *fcb = FileControlBlock{};
  fcb->number = number;
  fcb->os.owner = fcb;
}

}  // namespace isam::maint
