// What the file-set calls (create, open, open by definition, rename, close)
// share and the application never calls: how a set's indexes group into
// index files, the names of those files, the check that an open index file
// still matches its definition, and opening a set at a known number.
#pragma once

#include <string>
#include <vector>

#include "isam/fileset/file_set.h"

namespace isam {

// One index file of a set: the position of its first index in the
// definition array and how many further indexes are members of it.
struct IndexFileGroup {
  int first_index = 0;
  int members = 0;
};

// Indexes without a file name are members of the index file before them
// (the first index always starts a file).
std::vector<IndexFileGroup> GroupIndexFiles(const IfilBlock& block);

// The names of a set's files: the data file and one per index file group,
// in definition order. A name of 256 bytes or more is empty.
struct FileSetNames {
  std::string data;
  std::vector<std::string> index_files;
};

// Names from the block with these extensions (null: the instance's
// ".dat" / ".idx"); mode 0x200 or an all-blank extension adds none.
FileSetNames ResolveFileSetNames(const IfilBlock& block, const char* data_extension = nullptr,
                                 const char* index_extension = nullptr);

// The superfile hosts that opening (or creating) a set's members opens
// along the way: noted before the first file is touched, and closed again
// after a failure when none of their members is left open, so a failed
// open leaves no host behind either.
class HostsOpenedAlongTheWay {
 public:
  explicit HostsOpenedAlongTheWay(const FileSetNames& names);
  void CloseThoseLeftUnused() const;

 private:
  std::vector<std::string> hosts_;
};

// Whether open index file `number` is what group `group` of the definition
// describes: 0; 26 not open; 124 another member count; 608 a key length or
// duplicate flag that differs (the member's number in *file).
int CheckIndexFileMatches(const IfilBlock& block, const IndexFileGroup& group, int number, int* file);

// Opens the set with its data file at n (already open when data_open) and
// fills its ISAM rows: the ISAM error. On failure everything it opened,
// the data file included, is closed again and assigned stays -1.
int OpenFileSetAt(IfilBlock* block, int n, const FileSetNames& names, bool data_open);

// Drops the record locks and ISAM rows of numbers n .. n + count - 1.
void ForgetFileSetNumbers(int n, int count);

}  // namespace isam
