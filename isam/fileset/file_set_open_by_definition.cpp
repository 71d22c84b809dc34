#include <cctype>
#include <string>
#include <vector>

#include "isam/fileset/file_set_internal.h"
#include "isam/fileset/file_set_stored.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_open.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

constexpr uint16_t kNoExtensionMode = 0x200;

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  if (end.empty() || end.size() > text.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    const unsigned char a = static_cast<unsigned char>(text[text.size() - end.size() + i]);
    const unsigned char b = static_cast<unsigned char>(end[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

bool StartsWith(const std::string& text, const std::string& start) {
  return !start.empty() && text.compare(0, start.size(), start) == 0;
}

bool NumbersFree(int from, int count) {
  for (int k = from; k < from + count; ++k)
    if (FileNumberState(k) != 0) return false;
  return true;
}

// The stored definition names the files where they were when it was
// written; the set is opened where it is now: the base name comes from the
// data file's name as given, and index file names of their own that were
// built on the old base follow it.
void RebaseNames(StoredFileSet* stored, const std::string& data_name, std::string* base,
                 std::vector<std::string>* own_names) {
  IfilBlock& b = stored->block;
  const std::string old_base = b.name ? b.name : "";
  const bool no_extension = (static_cast<uint16_t>(b.data_mode) & kNoExtensionMode) != 0;
  *base = data_name;
  if (!no_extension && EndsWithNoCase(data_name, stored->data_extension))
    base->resize(data_name.size() - stored->data_extension.size());
  b.name = base->c_str();
  own_names->assign(static_cast<std::size_t>(b.index_count), std::string());
  for (int i = 0; i < b.index_count; ++i) {
    IndexDefinition& d = stored->indexes[static_cast<std::size_t>(i)];
    if (d.file_name == nullptr || !StartsWith(d.file_name, old_base)) continue;
    std::string& own = (*own_names)[static_cast<std::size_t>(i)];
    own = *base + std::string(d.file_name).substr(old_base.size());
    d.file_name = own.c_str();
  }
}

int Fail(int rc, int file) {
  SetIsamError(rc, file);
  return -1;
}

}  // namespace

int OpenFileSetByDefinition(int first, const char* data_file_name, uint16_t mode) {
  if (data_file_name == nullptr || data_file_name[0] == '\0') return Fail(33, 0);
  FileSetNames names;
  names.data = data_file_name;
  const HostsOpenedAlongTheWay hosts(names);
  int n = first >= 0 ? first : FindFreeFileNumbers(1);
  if (n < 0) return Fail(46, 0);
  if (int rc = OpenFileEntry(n, data_file_name, mode)) {
    hosts.CloseThoseLeftUnused();
    return Fail(rc, n);
  }
  auto close_data = [&]() {
    CloseFileEntry(n);
    ForgetFileSetNumbers(n, 1);
  };
  std::vector<uint8_t> packed;
  StoredFileSet stored;
  int rc = GetStoredIfilBytes(n, &packed);
  if (rc == 0) rc = UnpackIfil(packed, &stored);
  if (rc != 0) {
    close_data();
    hosts.CloseThoseLeftUnused();
    return Fail(rc, n);
  }
  IfilBlock& b = stored.block;
  std::string base;
  std::vector<std::string> own_names;
  RebaseNames(&stored, data_file_name, &base, &own_names);
  // What the files are comes from the definition, how they are opened
  // from the caller.
  const uint16_t kept = kNoExtensionMode | kModeVariable;
  b.data_mode = static_cast<int16_t>((static_cast<uint16_t>(b.data_mode) & kept) | (mode & ~kept));
  b.index_mode = static_cast<int16_t>(mode & ~kept);
  bool data_open = true;
  if (!NumbersFree(n + 1, b.index_count)) {
    // The indexes must follow the data file: move it to a run that has
    // room for them all (a number the caller chose cannot move).
    close_data();
    n = first >= 0 ? -1 : FindFreeFileNumbers(b.index_count + 1);
    if (n < 0) {
      hosts.CloseThoseLeftUnused();
      return Fail(46, first >= 0 ? first : 0);
    }
    data_open = false;
  }
  names = ResolveFileSetNames(b, stored.data_extension.c_str(), stored.index_extension.c_str());
  names.data = data_file_name;
  if (OpenFileSetAt(&b, n, names, data_open) != 0) {
    hosts.CloseThoseLeftUnused();
    return -1;
  }
  return n;
}

}  // namespace isam
