// File sets by the definition their data file keeps ("EN!DEF" kind 0):
// opening a set from nothing but its data file's name, and giving an
// existing data file a stored definition.
#pragma once

#include <cstdint>

#include "isam/fileset/file_set.h"

namespace isam {

// Opens the set whose data file is `data_file_name`, with the definition
// stored in it: the data file at `first` (-1: the first free numbers that
// leave room for its indexes), its indexes behind it. `mode` is the open
// mode of every file of the set; bits 0x200 (the names carry no extension)
// and 0x4 (variable-length records) come from the stored data mode
// instead. The index names come from the
// stored definition with its own extensions, based on the name given here
// rather than the stored one, so a set whose files were moved or copied
// (a calendar host restored elsewhere) still opens; an index file name of
// its own that began with the stored base name is moved over the same way.
// Returns the data file's number, or -1 with the ISAM error set: 46 the
// numbers are taken, the data file's open codes, the stored definition's
// (408 no "EN!DEF", 438 no file-set definition in it, 198 a damaged one),
// then those of OpenFileSetFromIfil (124, 608, ...). A failure leaves no
// file of the set open. Close the set with CloseFileSetByNumber.
int OpenFileSetByDefinition(int first, const char* data_file_name, uint16_t mode);

// Stores block's packed definition in its existing data file: opens it
// exclusive at a free number, writes the resource anchor when it has none,
// stores the definition and closes it again. The ISAM error: 33 no block
// or name, 46 no free number, the open's codes (12 the file is missing or
// held by another opener), the anchor's and the store's codes.
int AddIfilToFile(const IfilBlock* block);

}  // namespace isam
