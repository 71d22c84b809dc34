// The superfile layer's place in the engine: the member hooks it gives the
// file layer (index/member_files.h) and its function numbers.
#pragma once

namespace isam {

// Installs the file layer below, the member hooks (create, open and close
// of members and hosts, member space) and functions 3 (delete), 36
// (rename) and 17047 (index key dump). Idempotent; call before the first
// engine start.
void InstallSuperfileLayer();

}  // namespace isam
