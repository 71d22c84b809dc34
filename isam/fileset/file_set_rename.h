// Renaming an open file set: its data file and every index file get the
// names a block with new names describes, and the data file's stored
// definition follows.
#pragma once

#include "isam/fileset/file_set.h"

namespace isam {

// block->assigned names the open set (opened exclusive: renames refuse
// shared and read-only files); the block's name (and index file names)
// are the new ones, built with the instance's extensions. Before anything
// is renamed, the open index files and the definition stored in the data
// file must describe the same indexes as the block (a data file without a
// stored definition gets one). The data file is renamed first, then each
// index file; the new definition is stored last. When a rename or the
// store fails, the renames already made are undone in reverse order; an
// undo that fails leaves a status-log line "Could not undo rename for..."
// followed by the name the file is left with. Members of a superfile host
// are renamed inside it (the host part of the names must stay the same).
// The ISAM error: 0; 33 no block or name; 26 the set is not open; 124 an
// index file has another member count; 608 an index file or the stored
// definition differs from the block's indexes, or the block has another
// number of indexes than the set was opened with; the rename codes of
// RenameEngineFile (62 shared or read-only, 67 the new name is taken or
// the OS rename failed, 418 a member name that does not fit, 446, 454);
// the stored definition's read or write codes.
int RenameFileSet(IfilBlock* block);

}  // namespace isam
