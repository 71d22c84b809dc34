// POSIX side of the profile store: one text file per profile.
//
//   [Settings]
//   SnoozeMinutes=dword:5
//   AlarmSoundFile=sz:whip.wav
//
// Texts escape backslash, line feed and carriage return (\\, \n, \r), so
// every value is one line. The file is replaced as a whole: the new content
// goes to a temporary file beside it, is flushed to disk and renamed over
// the old one, so a crash leaves either the old or the new profile, never a
// torn one. Before each store the file is read again under an advisory lock
// when another process changed it, and only this process's own changes are
// applied on top, so two instances writing different keys lose nothing.
#include "platform/profile_store.h"
#include "platform/profile_store_names.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <strings.h>
#include <vector>

namespace platform {

namespace {

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct Value {
  bool isInt = false;
  std::int32_t number = 0;
  std::string text;
};

using Section = std::map<std::string, Value, CaseLess>;
using Sections = std::map<std::string, Section, CaseLess>;

struct Change {
  std::string section;
  std::string key;
  Value value;
};

struct FileStamp {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  long long mtimeNs = 0;
  bool operator==(const FileStamp& o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtimeNs == o.mtimeNs;
  }
};

FileStamp StampOf(const std::string& path) {
  FileStamp s;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return s;
  s.exists = true;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      char n = text[++i];
      if (n == 'n') out += '\n';
      else if (n == 'r') out += '\r';
      else out += n;
    } else {
      out += c;
    }
  }
  return out;
}

// Reads a whole profile file; lines it does not understand are dropped.
bool ParseFile(const std::string& path, Sections* out) {
  out->clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return errno == ENOENT;
  std::string content;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) return false;

  Section* current = nullptr;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      if (close == std::string::npos || close == 1) {
        current = nullptr;
        continue;
      }
      current = &(*out)[line.substr(1, close - 1)];
      continue;
    }
    if (!current) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string key = line.substr(0, eq);
    std::string rest = line.substr(eq + 1);
    Value v;
    if (rest.compare(0, 6, "dword:") == 0) {
      char* stop = nullptr;
      errno = 0;
      long long number = std::strtoll(rest.c_str() + 6, &stop, 10);
      if (errno != 0 || stop == rest.c_str() + 6 || *stop != '\0' || number < INT32_MIN ||
          number > INT32_MAX)
        continue;
      v.isInt = true;
      v.number = static_cast<std::int32_t>(number);
    } else if (rest.compare(0, 3, "sz:") == 0) {
      v.text = Unescape(rest.substr(3));
    } else {
      continue;
    }
    (*current)[key] = v;
  }
  return true;
}

std::string Render(const Sections& sections) {
  std::string out = "; Almacora settings profile\n";
  for (const auto& s : sections) {
    if (s.second.empty()) continue;
    out += "[" + s.first + "]\n";
    for (const auto& kv : s.second) {
      out += kv.first;
      if (kv.second.isInt)
        out += "=dword:" + std::to_string(kv.second.number) + "\n";
      else
        out += "=sz:" + Escape(kv.second.text) + "\n";
    }
  }
  return out;
}

bool MakeParentDirs(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return true;
  std::string dir = path.substr(0, slash);
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (!MakeParentDirs(dir)) return false;
  return mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t w = ::write(fd, data.data() + done, data.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  return true;
}

// Replaces the file atomically with the content.
bool ReplaceFile(const std::string& path, const std::string& content) {
  if (!MakeParentDirs(path)) return false;
  std::string tmp = path + ".tmp." + std::to_string(static_cast<long>(getpid()));
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

// Serialises read-modify-write cycles of several processes on one profile.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    if (!MakeParentDirs(path)) return;
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) {
      ::flock(fd_, LOCK_UN);
      ::close(fd_);
    }
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

std::string DefaultLocation() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : ".") + "/.config";
  }
  return base + "/Corvelle Software/Almacora/profile.ini";
}

}  // namespace

struct ProfileStore::Impl {
  std::string path;
  Sections sections;  // the file as last read, with this process's changes
  FileStamp stamp;    // of the file as last read or written
  bool loaded = false;
  bool inBatch = false;
  std::vector<Change> pending;  // changes of the open batch

  void Refresh() {
    if (inBatch && loaded) return;
    FileStamp now = StampOf(path);
    if (loaded && now == stamp) return;
    Sections fresh;
    if (ParseFile(path, &fresh)) {
      sections.swap(fresh);
      stamp = now;
      loaded = true;
    }
  }

  const Value* Find(const std::string& section, const std::string& key) {
    Refresh();
    auto s = sections.find(section);
    if (s == sections.end()) return nullptr;
    auto k = s->second.find(key);
    return k == s->second.end() ? nullptr : &k->second;
  }

  static void Apply(Sections* target, const Change& c) {
    Section& s = (*target)[c.section];
    auto it = s.find(c.key);
    if (it != s.end())
      it->second = c.value;  // keeps the first spelling of the name
    else
      s.emplace(c.key, c.value);
  }

  // Stores the changes on top of the file's current content.
  bool Commit(const std::vector<Change>& changes) {
    FileLock lock(path);
    Sections base;
    FileStamp now = StampOf(path);
    if (loaded && now == stamp) {
      base = sections;
      // sections already hold the changes of a batch; applying them again
      // is harmless.
    } else if (!ParseFile(path, &base)) {
      return false;
    }
    for (const Change& c : changes) Apply(&base, c);
    if (!ReplaceFile(path, Render(base))) return false;
    sections.swap(base);
    stamp = StampOf(path);
    loaded = true;
    return true;
  }

  bool Write(const std::string& section, const std::string& key, const Value& v) {
    if (!IsStorableProfileName(section) || !IsStorableProfileName(key)) return false;
    Change c{section, key, v};
    if (inBatch) {
      Refresh();
      Apply(&sections, c);
      pending.push_back(std::move(c));
      return true;
    }
    return Commit({c});
  }
};

ProfileStore::ProfileStore() : ProfileStore(DefaultLocation()) {}

ProfileStore::ProfileStore(const std::string& location) : impl_(new Impl) { impl_->path = location; }

ProfileStore::~ProfileStore() = default;

std::string ProfileStore::ScratchLocation(const std::string& tag) {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = tmp && *tmp ? tmp : "/tmp";
  static int counter = 0;
  return dir + "/almacora-profile-" + std::to_string(static_cast<long>(getpid())) + "-" +
         std::to_string(++counter) + "-" + tag + ".ini";
}

const std::string& ProfileStore::Location() const { return impl_->path; }

bool ProfileStore::ReadInt(const std::string& section, const std::string& key,
                           std::int32_t* value) const {
  const Value* v = impl_->Find(section, key);
  if (!v || !v->isInt) return false;
  *value = v->number;
  return true;
}

bool ProfileStore::ReadString(const std::string& section, const std::string& key,
                              std::string* value) const {
  const Value* v = impl_->Find(section, key);
  if (!v || v->isInt) return false;
  *value = v->text;
  return true;
}

bool ProfileStore::WriteInt(const std::string& section, const std::string& key, std::int32_t value) {
  Value v;
  v.isInt = true;
  v.number = value;
  return impl_->Write(section, key, v);
}

bool ProfileStore::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  Value v;
  v.text = value.substr(0, value.find('\0'));  // a registry text ends at its NUL
  return impl_->Write(section, key, v);
}

bool ProfileStore::Clear() {
  FileLock lock(impl_->path);
  impl_->sections.clear();
  impl_->pending.clear();
  impl_->loaded = false;
  bool ok = ::unlink(impl_->path.c_str()) == 0 || errno == ENOENT;
  ::unlink((impl_->path + ".lock").c_str());
  return ok;
}

void ProfileStore::BeginBatch() {
  if (impl_->inBatch) return;
  impl_->Refresh();
  impl_->inBatch = true;
  impl_->pending.clear();
}

bool ProfileStore::EndBatch() {
  if (!impl_->inBatch) return true;
  impl_->inBatch = false;
  std::vector<Change> changes;
  changes.swap(impl_->pending);
  if (changes.empty()) return true;
  if (impl_->Commit(changes)) return true;
  impl_->loaded = false;  // drop the unstored changes; the next read sees the file
  return false;
}

}  // namespace platform
