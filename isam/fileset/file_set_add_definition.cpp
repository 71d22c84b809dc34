#include "isam/fileset/file_set_internal.h"
#include "isam/fileset/file_set_stored.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_open.h"
#include "isam/index/resource_anchor.h"
#include "isam/runtime/engine_instance.h"

namespace isam {

int AddIfilToFile(const IfilBlock* block) {
  if (block == nullptr || block->name == nullptr) return SetIsamError(33, 0);
  const FileSetNames names = ResolveFileSetNames(*block);
  if (names.data.empty()) return SetIsamError(12, 0);
  const int n = FindFreeFileNumbers(1);
  if (n < 0) return SetIsamError(46, 0);
  // Exclusive: nobody else may hold the file while its definition changes.
  const uint16_t mode = static_cast<uint16_t>(block->data_mode) &
                        static_cast<uint16_t>(~(kModeShared | kModeReadOnly | kModeSuperHost));
  const HostsOpenedAlongTheWay hosts(names);
  if (int rc = OpenFileEntry(n, names.data.c_str(), mode)) {
    hosts.CloseThoseLeftUnused();
    return SetIsamError(rc, n);
  }
  FileControlBlock* fcb = CheckFileNumber(n);
  int rc = fcb == nullptr ? 26 : 0;
  if (rc == 0 && fcb->header.first_resource == 0) rc = WriteFirstResource(fcb);
  if (rc == 0) rc = WriteIfilResource(*block, n);

  const int close_rc = CloseFileEntry(n);
  ForgetFileSetNumbers(n, 1);
  hosts.CloseThoseLeftUnused();
  return SetIsamError(rc != 0 ? rc : close_rc, n);
}

}  // namespace isam
