// Reading a parameter file into file-set definitions and opening or
// creating them.
#include "isam/maint/parm/parm_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "isam/fileset/file_set.h"
#include "isam/fileset/isam_record_services.h"
#include "isam/fileset/isam_start.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_start.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/os_file_layer.h"

namespace isam::maint {
namespace {

constexpr std::size_t kMaxWord = 255;

// Whitespace-separated tokens of the whole file.
class Tokens {
 public:
  explicit Tokens(std::FILE* f) {
    std::string word;
    for (int c; (c = std::fgetc(f)) != EOF;) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
        if (!word.empty()) words_.push_back(std::move(word));
        word.clear();
      } else {
        word.push_back(static_cast<char>(c));
      }
    }
    if (!word.empty()) words_.push_back(std::move(word));
  }
  bool Number(int16_t* out) {
    if (words_.empty()) return false;
    const std::string& w = words_.front();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(w.c_str(), &end, 10);
    if (end == w.c_str() || *end != '\0' || errno != 0 || v < INT16_MIN || v > INT16_MAX) return false;
    *out = static_cast<int16_t>(v);
    words_.pop_front();
    return true;
  }
  // n numbers: true when all were read.
  bool Numbers(int16_t* out, int n) {
    for (int i = 0; i < n; ++i)
      if (!Number(out + i)) return false;
    return true;
  }
  bool Word(std::string* out) {
    if (words_.empty() || words_.front().size() > kMaxWord) return false;
    *out = std::move(words_.front());
    words_.pop_front();
    return true;
  }

 private:
  std::deque<std::string> words_;
};

// One data file's set, owning what its block points at.
struct ParmSet {
  IfilBlock block;
  std::string name, text1, text2;
  std::deque<std::string> index_names, file_names;
  std::vector<IndexDefinition> indexes;
  std::deque<std::vector<KeySegment>> segments;
  std::vector<int16_t> members;  // per index file entry: its member count
  bool open = false;
};

int ReadSegments(Tokens& in, int16_t count, int16_t key_length, bool duplicates, IndexDefinition* def,
                 std::deque<std::vector<KeySegment>>* store) {
  if (count > 12 || count < 0) return 109;
  std::vector<KeySegment> segs;
  int sum = 0;
  for (int i = 0; i < count; ++i) {
    int16_t v[3];
    if (!in.Numbers(v, 3)) return 110;
    segs.push_back(KeySegment{v[0], v[1], v[2]});
    sum += v[1];
  }
  if (sum != key_length - (duplicates ? 4 : 0)) return 115;
  store->push_back(std::move(segs));
  def->segments = store->back().data();
  def->segment_count = count;
  return 0;
}

// The index entries of one data file. `next` is the number the next index
// must have; *file gets the number a failure concerns.
int ReadIndexes(Tokens& in, ParmSet& s, int16_t index_count, int16_t next, int* file) {
  int defined = 0;
  while (defined < index_count) {
    int16_t number, v[9];
    std::string file_name, word;
    if (!in.Number(&number) || !in.Word(&file_name) || !in.Numbers(v, 9)) return 111;
    *file = number;
    // v: key length, key type, duplicates, members, extension, mode,
    // null-key mode, fill byte, segment count.
    if (number != next || v[3] < 0) return 22;
    if (defined + 1 + v[3] > index_count) return 107;
    if (!in.Word(&word)) return 180;
    s.index_names.push_back(word);
    s.file_names.push_back(file_name);
    IndexDefinition def;
    def.key_length = v[0];
    def.key_type = v[1];
    def.duplicates = v[2];
    def.null_rule = v[6];
    def.null_byte = v[7];
    def.name = s.index_names.back().c_str();
    def.file_name = s.file_names.back().c_str();
    if (const int rc = ReadSegments(in, v[8], v[0], v[2] == 1, &def, &s.segments)) return rc;
    if (s.indexes.empty()) {
      s.block.index_extension = v[4];
      s.block.index_mode = v[5];
    }
    s.indexes.push_back(def);
    ++defined;
    ++next;
    for (int m = 1; m <= v[3]; ++m) {
      int16_t w[7];
      if (!in.Numbers(w, 7)) return 117;
      *file = w[0];
      if (w[0] != number + m) return 108;
      if (!in.Word(&word)) return 117;
      s.index_names.push_back(word);
      IndexDefinition member;
      member.key_length = w[1];
      member.key_type = w[2];
      member.duplicates = w[3];
      member.null_rule = w[4];
      member.null_byte = w[5];
      member.name = s.index_names.back().c_str();
      if (const int rc = ReadSegments(in, w[6], w[1], w[3] == 1, &member, &s.segments)) return rc;
      s.indexes.push_back(member);
      ++defined;
      ++next;
    }
  }
  return 0;
}

// Reads every data file and opens or creates its set as soon as it is
// read, so a later failure closes exactly what stands.
int Run(Tokens& in, bool create, int16_t data_files, std::deque<ParmSet>* sets, int* file) {
  const EngineInstance* inst = CurrentInstance();
  for (int d = 0; d < data_files; ++d) {
    sets->emplace_back();
    ParmSet& s = sets->back();
    int16_t number, v[4];
    if (!in.Number(&number) || !in.Word(&s.name) || !in.Numbers(v, 4)) return 106;
    *file = number;
    if (v[3] > kMaxFileSetIndexes) return 107;
    if (v[3] < 0) return 106;
    const int last = number + v[3] + ((v[2] & 0x200) != 0 ? 1 : 0);
    if (number < 0 || last >= inst->file_count) return 22;
    if (!in.Word(&s.text1) || !in.Word(&s.text2)) return 183;
    if (const int rc = ReadIndexes(in, s, v[3], static_cast<int16_t>(number + 1), file)) return rc;
    *file = number;
    s.block.name = s.name.c_str();
    s.block.data_file = number;
    s.block.record_length = v[0];
    s.block.data_extension = v[1];
    s.block.data_mode = v[2];
    s.block.index_count = static_cast<int16_t>(s.indexes.size());
    s.block.indexes = s.indexes.data();
    s.block.text1 = s.text1.c_str();
    s.block.text2 = s.text2.c_str();
    if (create) {
      if (const int rc = CreateFileSetFromIfil(&s.block)) return rc;
    } else {
      if (const int rc = OpenFileSetFromIfil(&s.block)) return rc;
    }
    s.open = true;
  }
  return 0;
}

int FromParmFile(const char* name, int16_t start_mode, bool create) {
  std::FILE* f = name != nullptr ? OpenStreamWithRetry(name, "r", 3) : nullptr;
  if (f == nullptr) {
    if (CurrentInstance() != nullptr) SetIsamError(102, 0);
    return 102;
  }
  Tokens in(f);
  std::fclose(f);
  int16_t header[4];
  if (!in.Numbers(header, 4) || header[0] < 0 || header[1] < 0 || header[3] < 0) {
    if (CurrentInstance() != nullptr) SetIsamError(103, 0);
    return 103;
  }
  bool started_here = false;
  if (EngineInstance* inst = CurrentInstance(); inst == nullptr || !inst->started) {
    const int rc = IsamInit(header[0], static_cast<int16_t>(header[1] + header[3]), header[2], header[0],
                            start_mode != 0 ? start_mode : kParmDefaultStartMode);
    if (rc != 0) return rc;
    started_here = true;
  }
  std::deque<ParmSet> sets;
  int file = 0;
  // The names of a parameter file carry their own extensions.
  EngineInstance* inst = CurrentInstance();
  char extension[sizeof inst->data_extension];
  std::memcpy(extension, inst->data_extension, sizeof extension);
  inst->data_extension[0] = '\0';
  const int rc = Run(in, create, header[3], &sets, &file);
  std::memcpy(inst->data_extension, extension, sizeof extension);
  if (rc == 0) return SetIsamError(0, 0);
  for (ParmSet& s : sets)
    if (s.open) CloseFileSet(&s.block);
  if (started_here) {
    IsamShutdown();
    return rc;
  }
  return SetIsamError(rc, file);
}

}  // namespace

int OpenFilesFromParmFile(const char* name, int16_t start_mode) { return FromParmFile(name, start_mode, false); }
int CreateFilesFromParmFile(const char* name, int16_t start_mode) { return FromParmFile(name, start_mode, true); }

int OpenFilesFromParmFileCall(EngineCall* call) {
  const auto* p = static_cast<const CallParameterBlock*>(call->block);
  return p != nullptr ? OpenFilesFromParmFile(p->path, p->shorts[4]) : SetIsamError(102, 0);
}
int CreateFilesFromParmFileCall(EngineCall* call) {
  const auto* p = static_cast<const CallParameterBlock*>(call->block);
  return p != nullptr ? CreateFilesFromParmFile(p->path, p->shorts[4]) : SetIsamError(102, 0);
}

}  // namespace isam::maint
