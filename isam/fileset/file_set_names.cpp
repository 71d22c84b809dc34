#include <algorithm>
#include <cstring>
#include <string>

#include "isam/fileset/file_set_internal.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

constexpr uint16_t kNoExtensionMode = 0x200;
constexpr std::size_t kNameLimit = 256;

std::string Bounded(std::string name) { return name.size() >= kNameLimit ? std::string() : name; }

std::string WithExtension(const IfilBlock& b, const char* extension) {
  std::string name = b.name ? b.name : "";
  if (!(static_cast<uint16_t>(b.data_mode) & kNoExtensionMode) && extension && extension[0] != '\0') {
    bool blank = true;
    for (const char* p = extension; *p; ++p) blank = blank && *p == ' ';
    if (!blank) name += extension;
  }
  return Bounded(name);
}

// An index file's own name is used as given; the first index may leave it
// empty and take the derived name instead.
std::string IndexFileName(const IfilBlock& b, const IndexFileGroup& f, const char* extension) {
  const char* own = b.indexes[f.first_index].file_name;
  if (own != nullptr && (f.first_index > 0 || own[0] != '\0')) return Bounded(own);
  return WithExtension(b, extension);
}

}  // namespace

std::vector<IndexFileGroup> GroupIndexFiles(const IfilBlock& b) {
  std::vector<IndexFileGroup> files;
  for (int i = 0; i < b.index_count; ++i) {
    if (i == 0 || b.indexes[i].file_name != nullptr) {
      IndexFileGroup f;
      f.first_index = i;
      files.push_back(f);
    } else {
      ++files.back().members;
    }
  }
  return files;
}

FileSetNames ResolveFileSetNames(const IfilBlock& b, const char* data_extension, const char* index_extension) {
  EngineInstance* inst = CurrentInstance();
  if (data_extension == nullptr) data_extension = inst ? inst->data_extension : ".dat";
  if (index_extension == nullptr) index_extension = inst ? inst->index_extension : ".idx";
  FileSetNames names;
  names.data = WithExtension(b, data_extension);
  for (const IndexFileGroup& f : GroupIndexFiles(b)) names.index_files.push_back(IndexFileName(b, f, index_extension));
  return names;
}

void BuildFileSetNames(const IfilBlock& b, int which, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  const FileSetNames names = ResolveFileSetNames(b);
  std::string name;
  if (which == 0) {
    name = names.data;
  } else if (!names.index_files.empty()) {
    name = names.index_files[0];
  }
  std::strncpy(out, name.c_str(), static_cast<std::size_t>(size) - 1);
  out[size - 1] = '\0';
}

void BuildFileSetNames(const IfilBlock& b, char* out, int which, char* extension) {
  BuildFileSetNames(b, which, out, static_cast<int>(kNameLimit));
  if (extension == nullptr) return;
  extension[0] = '\0';
  if (out == nullptr || out[0] == '\0') return;
  const bool own_index_name = which != 0 && b.index_count > 0 && b.indexes != nullptr &&
                              b.indexes[0].file_name != nullptr && b.indexes[0].file_name[0] != '\0';
  if (own_index_name) return;
  // What a derived name carries beyond the block's name is the extension.
  const std::size_t base = b.name ? std::strlen(b.name) : 0;
  const std::size_t length = std::strlen(out);
  if (length > base) {
    const std::size_t n = std::min<std::size_t>(length - base, 7);
    std::memcpy(extension, out + base, n);
    extension[n] = '\0';
  }
}

std::string DirectoryOfPath(const char* path) {
  if (path == nullptr) return {};
  const std::string p(path);
  const std::size_t at = p.find_last_of("/\\:");
  return at == std::string::npos ? std::string() : p.substr(0, at + 1);
}

}  // namespace isam
