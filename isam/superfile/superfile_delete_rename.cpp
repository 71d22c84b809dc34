#include "isam/superfile/superfile_delete_rename.h"

#include <cstring>

#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_state_hooks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/runtime/runtime_utils.h"
#include "isam/superfile/superfile_member_ops.h"
#include "isam/superfile/superfile_names.h"

namespace isam {

int DeleteEngineFile(int number) {
  FileControlBlock* fcb = CheckFileNumber(number);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (fcb->header.open_mode & (kModeShared | kModeReadOnly)) return SetEngineError(56);
  if (fcb->header.file_class == kClassMemberDirectory) return SetEngineError(56);
  if (fcb->header.file_class == kClassSuperMember) return DeleteMemberFile(number);
  char name[256];
  CopyBoundedString(name, fcb->name, sizeof name);
  const int members = fcb->header.file_type == kFileTypeIndex ? fcb->header.member_count : 0;
  CurrentFileStateHooks().forget_file_locks(number);
  if (int rc = CloseFileEntry(number)) return rc;
  for (int m = 0; m <= members; ++m) CurrentFileStateHooks().forget_isam_file(number + m);
  return SetEngineError(OsDeleteFile(name) ? 55 : 0);
}

int RenameEngineFile(int number, const char* new_name) {
  FileControlBlock* fcb = CheckFileNumber(number);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if (new_name == nullptr || new_name[0] == '\0' || std::strlen(new_name) > 255) return SetEngineError(67);
  if (CompareFileNames(fcb->name, new_name) == 0) return SetEngineError(0);
  if (fcb->header.open_mode & (kModeShared | kModeReadOnly)) return SetEngineError(62);
  if (fcb->header.file_class == kClassMemberDirectory) return SetEngineError(446);
  if (fcb->header.file_class == kClassSuperMember) return RenameMemberFile(number, new_name);
  if (fcb->header.file_class == kClassSuperHost && SplitMemberName(new_name) != 0) return SetEngineError(418);
  if (fcb->header.file_class == kClassSuperHost && HostHasOpenMembers(fcb)) return SetEngineError(454);
  if (int rc = OsEnsureOpen(&fcb->os)) return SetEngineError(rc);
  OsFlushFile(&fcb->os);
  const uint16_t mode = fcb->os.mode;
  char old_name[256];
  CopyBoundedString(old_name, fcb->name, sizeof old_name);
  if (OsCloseFile(&fcb->os) != 0) return SetEngineError(24);
  int rc = OsRenameFile(old_name, new_name);
  const char* reopen = rc == 0 ? new_name : old_name;
  CopyBoundedString(fcb->name, reopen, sizeof fcb->name);
  if (OsOpenFile(&fcb->os, fcb->name, mode) != 0) return SetEngineError(38);
  return SetEngineError(rc ? 67 : 0);
}

}  // namespace isam
