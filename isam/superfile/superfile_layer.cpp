#include "isam/superfile/superfile_layer.h"

#include "isam/index/file_layer.h"
#include "isam/index/member_files.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/function_table.h"
#include "isam/superfile/index_key_dump.h"
#include "isam/superfile/superfile_delete_rename.h"
#include "isam/superfile/superfile_member.h"

namespace isam {
namespace {

constexpr EngineFunctionNumber kFnDeleteEngineFile = 3;
constexpr EngineFunctionNumber kFnRenameEngineFile = 36;  // block: CallParameterBlock, path = new name

int FnDeleteFile(EngineCall* c) { return DeleteEngineFile(c->file); }

int FnRenameFile(EngineCall* c) {
  const auto* p = static_cast<const CallParameterBlock*>(c->block);
  if (p == nullptr) return SetEngineError(116);
  return RenameEngineFile(c->file, p->path);
}

}  // namespace

void InstallSuperfileLayer() {
  InstallFileLayer();
  MemberHooks hooks{};
  hooks.create_member = CreateMemberInHost;
  hooks.create_host_directory = CreateHostDirectory;
  hooks.open_member = OpenMemberInHost;
  hooks.open_host_directory = OpenHostDirectory;
  hooks.close_host_members = CloseHostMembers;
  hooks.extend_member_space = ExtendMemberSpace;
  SetMemberHooks(hooks);
  InstallEngineFunction(kFnDeleteEngineFile, FnDeleteFile);
  InstallEngineFunction(kFnRenameEngineFile, FnRenameFile);
  InstallIndexKeyDumpFunction();
}

}  // namespace isam
