#include "isam/fileset/file_set.h"
#include "isam/fileset/file_set_recovery.h"

#include <string>

#include "isam/fileset/file_set_internal.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/file_open.h"
#include "isam/record/isam_record_tables.h"
#include "isam/record/record_lock.h"
#include "isam/record/record_schema_store.h"
#include "isam/record/write_batch.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/maint_hooks.h"
#include "isam/runtime/os_file_layer.h"
#include "isam/superfile/superfile_member.h"
#include "isam/superfile/superfile_member_ops.h"
#include "isam/superfile/superfile_names.h"

namespace isam {
namespace {

int CheckDefinitions(const IfilBlock& b) {
  if (b.index_count < 0 || b.index_count > kMaxFileSetIndexes) return 107;
  if (b.index_count > 0 && b.indexes == nullptr) return 33;
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    if (d.segment_count < 0 || d.segment_count > kMaxKeySegments) return 109;
    int sum = 0;
    for (int s = 0; s < d.segment_count; ++s) sum += d.segments[s].length;
    if (sum != d.key_length - (d.duplicates ? 4 : 0)) return 115;
  }
  return 0;
}

// The first run of index count + 1 free numbers at or after the wanted one
// (anywhere for -1); -1 when there is none.
int FirstNumber(const IfilBlock& b) {
  const int count = b.index_count + 1;
  if (b.data_file < 0) return FindFreeFileNumbers(count);
  for (int first = b.data_file;; ++first) {
    int n = first;
    for (; n < first + count; ++n) {
      const int state = FileNumberState(n);
      if (state == 22 || state == 47) return SetEngineError(state), -1;  // no numbers beyond
      if (state != 0) break;
    }
    if (n == first + count) return first;
    first = n;  // the run cannot start before the number in use
  }
}

// Fills the ISAM rows of the set whose data file is n.
int SetupIsamIndexes(const IfilBlock& b, int n) {
  IsamTables* t = CurrentIsamTables();
  // Tables freed for maintenance come back with the next set.
  if (t == nullptr && CurrentInstance() != nullptr && CreateIsamTables(CurrentInstance()) == 0)
    t = CurrentIsamTables();
  if (t == nullptr) return 47;
  IsamFileRow& row = t->File(n);
  row = IsamFileRow{};
  row.is_data = true;
  if (b.text1) row.text1 = b.text1;
  if (b.text2) row.text2 = b.text2;
  bool uses_schema = false;
  for (int i = 0; i < b.index_count; ++i) {
    const IndexDefinition& d = b.indexes[i];
    const int k = n + 1 + i;
    IsamKeyRow& kr = t->Key(k);
    kr = IsamKeyRow{};
    kr.def.data_file = static_cast<int16_t>(n);
    kr.def.flags = static_cast<uint16_t>(d.null_rule & kKeyNullRuleMask);
    // Conditions are stored under the key's number within the data file,
    // which stays when the set opens at other file numbers.
    kr.def.flags |= static_cast<uint16_t>(CurrentMaintHooks().cond_has(static_cast<int16_t>(n), static_cast<uint16_t>(i + 1)) &
                                          (kKeyOwnCondition | kKeyCommonCondition));
    kr.condition = static_cast<int16_t>((kr.def.flags & (kKeyOwnCondition | kKeyCommonCondition)) ? k : -1);
    kr.def.null_byte = static_cast<uint8_t>(d.null_byte);
    kr.def.key_length = static_cast<uint16_t>(d.key_length);
    kr.def.duplicates = d.duplicates != 0;
    for (int s = 0; s < d.segment_count; ++s) {
      kr.def.segments[s] = d.segments[s];
      const int base = SegmentBaseMode(d.segments[s].mode);
      if (base == 3) row.serial_offset = d.segments[s].offset;
      if (base == 4 || base == 5) kr.partial_allowed = true;
    }
    if (d.pad_byte) kr.pad = *d.pad_byte;
    if (d.name) kr.name = d.name;
    row.keys.push_back(static_cast<int16_t>(k));
    for (int s = 0; s < d.segment_count; ++s) uses_schema |= SegmentBaseMode(d.segments[s].mode) >= 12;
  }
  // Schema fields of the variable part are known only from the stored
  // schema (absent while the set is being created).
  if (uses_schema) MarkSchemaPartialKeys(n);
  return 0;
}

}  // namespace

void ForgetFileSetNumbers(int n, int count) {
  for (int k = n; k < n + count; ++k) {
    ForgetFileLocks(k);
    ForgetIsamFile(k);
  }
}

int CheckIndexFileMatches(const IfilBlock& b, const IndexFileGroup& f, int k, int* file) {
  *file = k;
  FileControlBlock* index = CheckFileNumber(k);
  if (index == nullptr) return 26;
  if (index->header.member_count != f.members) return 124;
  for (int m = 0; m <= f.members; ++m) {
    const IndexDefinition& d = b.indexes[f.first_index + m];
    *file = k + m;
    FileControlBlock* member = CheckFileNumber(k + m);
    if (member == nullptr) return 26;
    if (member->header.key_length != d.key_length || (member->header.duplicates != 0) != (d.duplicates != 0))
      return 608;
  }
  *file = k;
  return 0;
}

HostsOpenedAlongTheWay::HostsOpenedAlongTheWay(const FileSetNames& names) {
  std::vector<const std::string*> all{&names.data};
  for (const std::string& name : names.index_files) all.push_back(&name);
  for (const std::string* name : all) {
    const int host_length = SplitMemberName(name->c_str());
    if (host_length <= 0) continue;
    const std::string host = name->substr(0, static_cast<std::size_t>(host_length));
    if (FindOpenFileByName(host.c_str()) < 0) hosts_.push_back(host);
  }
}

void HostsOpenedAlongTheWay::CloseThoseLeftUnused() const {
  for (const std::string& host : hosts_) {
    const int h = FindOpenFileByName(host.c_str());
    if (h < 0) continue;
    FileControlBlock* fcb = CheckFileNumber(h);
    if (fcb == nullptr || fcb->header.file_class != kClassSuperHost || HostHasOpenMembers(fcb)) continue;
    CloseFileEntry(h);
  }
}

int OpenFileSetAt(IfilBlock* b, int n, const FileSetNames& names, bool data_open) {
  const HostsOpenedAlongTheWay hosts(names);
  std::vector<int> opened;
  if (data_open) opened.push_back(n);
  auto fail = [&](int rc, int file) {
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) CloseFileEntry(*it);
    ForgetFileSetNumbers(n, b->index_count + 1);
    hosts.CloseThoseLeftUnused();
    b->assigned = -1;
    return SetIsamError(rc, file);
  };
  if (int rc = CheckDefinitions(*b)) return fail(rc, n);
  if (!data_open) {
    if (int rc = OpenFileEntry(n, names.data.c_str(), static_cast<uint16_t>(b->data_mode))) return fail(rc, n);
    opened.push_back(n);
  }
  FileControlBlock* data = CheckFileNumber(n);
  if (data == nullptr) return fail(26, n);
  if (data->header.open_mode & kModeReadOnly) b->data_mode = static_cast<int16_t>(b->data_mode | 0x04);
  const std::vector<IndexFileGroup> groups = GroupIndexFiles(*b);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const int k = n + 1 + groups[g].first_index;
    const std::string& name = names.index_files[g];
    if (int rc = OpenFileEntry(k, name.c_str(), static_cast<uint16_t>(b->index_mode))) return fail(rc, k);
    opened.push_back(k);
    int file = k;
    if (int rc = CheckIndexFileMatches(*b, groups[g], k, &file)) return fail(rc, file);
  }
  if (int rc = SetupIsamIndexes(*b, n)) return fail(rc, n);
  b->assigned = static_cast<int16_t>(n);
  // A set its last writer left unfinished is mended now when this opener
  // is alone; one the mend cannot make whole is not handed out (it keeps its
  // mark, and the status log says why).
  if (int rc = RecoverFileSetIfNeeded(n)) return fail(rc, n);
  return SetIsamError(0, n);
}

int CreateFileSetFromIfil(IfilBlock* b) {
  if (b == nullptr || b->name == nullptr) return SetIsamError(33, 0);
  b->assigned = -1;
  if (int rc = CheckDefinitions(*b)) return SetIsamError(rc, 0);
  const int n = FirstNumber(*b);
  if (n < 0) return SetIsamError(46, 0);
  const FileSetNames names = ResolveFileSetNames(*b);
  if (names.data.empty()) return SetIsamError(17, n);
  const HostsOpenedAlongTheWay hosts(names);
  std::vector<std::pair<int, std::string>> made;
  auto fail = [&](int rc, int file) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      if (IsMemberName(it->second.c_str())) {  // a member leaves its host's directory too
        DeleteMemberFile(it->first);
        continue;
      }
      CloseFileEntry(it->first);
      OsDeleteFile(it->second.c_str());
    }
    ForgetFileSetNumbers(n, b->index_count + 1);
    hosts.CloseThoseLeftUnused();
    b->assigned = -1;
    return SetIsamError(rc, file);
  };
  int rc = CreateDataFile(n, names.data.c_str(), b->record_length, static_cast<uint16_t>(b->data_extension),
                          static_cast<uint16_t>(b->data_mode));
  if (rc != 0) return fail(rc, n);
  made.emplace_back(n, names.data);
  const std::vector<IndexFileGroup> groups = GroupIndexFiles(*b);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const IndexFileGroup& f = groups[g];
    const IndexDefinition& d = b->indexes[f.first_index];
    const int k = n + 1 + f.first_index;
    const std::string& name = names.index_files[g];
    if (name.empty()) return fail(17, k);
    rc = CreateIndexFile(k, name.c_str(), d.key_length, d.key_type, d.duplicates, f.members,
                         static_cast<uint16_t>(b->index_extension), static_cast<uint16_t>(b->index_mode));
    if (rc != 0) return fail(rc, k);
    made.emplace_back(k, name);
    FileControlBlock* index = CheckFileNumber(k);
    if (d.pad_byte && index) {
      index->header.padding = *d.pad_byte;
      index->layout.pad = *d.pad_byte;
    }
    for (int m = 1; m <= f.members; ++m) {
      const IndexDefinition& md = b->indexes[f.first_index + m];
      if ((rc = AddIndexMember(k, md.key_length, md.key_type, md.duplicates, m)) != 0) return fail(rc, k + m);
      if (md.pad_byte) {
        if (FileControlBlock* member = CheckFileNumber(k + m)) {
          member->header.padding = *md.pad_byte;
          member->layout.pad = *md.pad_byte;
        }
      }
    }
    if (index && d.pad_byte) {
      if ((rc = WriteFileHeader(index)) != 0) return fail(rc, k);
    }
    // Each index's own collating table, kept in its index file and loaded
    // again by every open.
    for (int m = 0; m <= f.members; ++m) {
      const IndexDefinition& md = b->indexes[f.first_index + m];
      if (md.collation != nullptr && (rc = PutIndexTable(k + m, md.collation, true)) != 0) return fail(rc, k + m);
    }
  }
  if ((rc = SetupIsamIndexes(*b, n)) != 0) return fail(rc, n);
  if ((rc = WriteIfilResource(*b, n)) != 0) return fail(rc, n);
  b->assigned = static_cast<int16_t>(n);
  return SetIsamError(0, n);
}

int OpenFileSetFromIfil(IfilBlock* b) {
  if (b == nullptr || b->name == nullptr) return SetIsamError(33, 0);
  b->assigned = -1;
  if (b->index_count < 0 || b->index_count > kMaxFileSetIndexes) return SetIsamError(107, 0);
  const int n = FirstNumber(*b);
  if (n < 0) return SetIsamError(46, 0);
  return OpenFileSetAt(b, n, ResolveFileSetNames(*b), false);
}

int CloseFileSetByNumber(int n) {
  IsamTables* t = CurrentIsamTables();
  if (n < 0 || t == nullptr || CheckFileNumber(n) == nullptr) return SetIsamError(26, n < 0 ? 0 : n);
  // A batch still open ends here: its rewrites are finished, not lost.
  while (EndWriteBatch(n) != 26) {
  }
  std::vector<int16_t> keys;
  if (n < static_cast<int>(t->files.size()) && t->files[static_cast<std::size_t>(n)].is_data)
    keys = t->files[static_cast<std::size_t>(n)].keys;
  int first = 0;
  int highest = n;
  for (int16_t k : keys) {
    highest = k > highest ? k : highest;
    FileControlBlock* index = CheckFileNumber(k);
    if (index == nullptr || index->header.member_number != 0) continue;  // members close with their index
    const int rc = CloseFileEntry(k);
    if (first == 0) first = rc;
  }
  const int rc = CloseFileEntry(n);
  if (first == 0) first = rc;
  ForgetFileSetNumbers(n, highest - n + 1);
  return SetIsamError(first, n);
}

int CloseFileSet(IfilBlock* b) {
  if (b == nullptr) return SetIsamError(33, 0);
  const int n = b->assigned;
  if (n < 0) return SetIsamError(26, 0);
  const int rc = CloseFileSetByNumber(n);
  b->assigned = -1;
  return rc;
}

}  // namespace isam
