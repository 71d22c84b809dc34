// New indexes for an existing file set: the definitions in the block are
// appended to the set's stored definition (index files with a file name,
// members of the last index file without one), every index file is built
// from the data as RebuildFileSet does, and the extended definition is
// stored in the data file once all of them are loaded.
//
// Returns 0, or (also the ISAM error): 540 no block; 107 more than 32
// indexes in all; 197 no memory; the stored definition's codes (408 / 438
// none, 198 damaged); the rebuild's codes. A failure deletes the index
// files this call added; the stored definition stays as it was, so a
// rebuild brings back the set as it stood.
#pragma once

namespace isam {
struct IfilBlock;
}

namespace isam::maint {

int AddIndexMembers(IfilBlock* block);

}  // namespace isam::maint
