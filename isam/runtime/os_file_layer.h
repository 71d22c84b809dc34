// The engine's OS file layer: every byte of an engine file is read and
// written here, and the handle budget gives back OS handles of idle files.
//
// The file layer embeds one EngineOsFile in each FileControlBlock (member
// `os`, with `owner` pointing back) and hands it to these calls. All
// results are engine codes; the portable OS error of a failure is kept in
// the current instance's os_error.
//
// Engine open-mode bits read here: 0x1 shared, 0x2 kept open (never given
// back under handle pressure), 0x8 read-only; neither 0x1 nor 0x8 is
// exclusive.
#pragma once

#include <cstdint>
#include <cstdio>

namespace platform {
struct OsFile;
}

namespace isam {

struct FileControlBlock;
struct EngineInstance;

constexpr uint16_t kModeShared = 0x0001;
constexpr uint16_t kModeKeptOpen = 0x0002;
constexpr uint16_t kModeVariable = 0x0004;
constexpr uint16_t kModeReadOnly = 0x0008;
constexpr int32_t kDefaultOsFileLimit = 500;

struct EngineOsFile {
  platform::OsFile* handle = nullptr;  // null while closed or virtually closed
  int32_t lock_count = 0;              // byte-range locks held through this handle
  uint16_t mode = 0;                   // engine open-mode bits of the open/create
  bool is_open = false;                // open for the engine (also when virtually closed)
  bool virtually_closed = false;       // handle given back; reopened by name on use
  bool counted = false;                // in the handle budget's list
  char name[256] = {};
  // Superfile members: no OS file of their own; reads, writes and locks go
  // to the host's handle. Set host and member_number before OsOpenFile.
  EngineOsFile* host = nullptr;
  int16_t member_number = 0;
  int16_t member_slot = -1;            // -1 none, 0..255 slot byte, -2 all 256
  EngineOsFile* lru_older = nullptr;
  EngineOsFile* lru_newer = nullptr;
  FileControlBlock* owner = nullptr;   // the block that embeds this one
  // An I/O step's range lock (see IoStepScope) is held through this handle,
  // and the transfers made under it since it was taken.
  bool io_step_held = false;
  uint16_t io_step_uses = 0;
};

// Opens an existing file (name goes through AddDirectoryPrefix in path
// mode 3): shared (0x1) = read/write access, others may share; read-only
// (0x8 without 0x1) = read access, sharing; else exclusive. When the
// budget is full the least recently used idle file is given back first; a
// "no more handles" failure gives back one more and tries once again.
// A member (host set) opens no OS file: with the host shared or read-only a
// member opened shared or read-only takes the first free of its 256 slot
// bytes, one opened exclusive all 256 (slot -2); a host opened exclusive
// takes nothing. Returns 0, or 12 (OS open failed, or no slot: member busy).
int OsOpenFile(EngineOsFile* file, const char* name, uint16_t mode);

// As OsOpenFile but creates a new file: 0; 19 when the name exists; 17 for
// any other failure.
int OsCreateFile(EngineOsFile* file, const char* name, uint16_t mode);

// Closes: a member releases its slot byte(s); else the handle is closed
// (its locks go with it) and leaves the budget. Returns 0 (an OS failure
// is only kept in os_error). Closing a closed file is harmless.
int OsCloseFile(EngineOsFile* file);
// Whether another opener (another process, or another instance of this
// one) holds the file now: a member opened shared asks the other 255 slot
// bytes of its member; an exclusive open, or a member of a host that is
// ours alone, has nobody beside it. A plain file opened shared cannot tell
// and answers true.
bool OsOthersHoldFile(EngineOsFile* file);

// Reopens a virtually closed file by name and mode: 0, or 38.
int OsEnsureOpen(EngineOsFile* file);

// Marks a use: moves the file to the recent end of the budget list.
void OsTouchFile(EngineOsFile* file);

// Gives back the handle of the least recently used file that holds no
// locks (flushed first; it becomes virtually closed). Files with locks
// move to the recent end. Returns true when a handle was given back.
bool ReleaseOneHandle();

// OS files open in the budget of the current instance.
int32_t OsFilesCounted();

// By name. 55 / 67 on failure (rename never replaces an existing file).
int OsDeleteFile(const char* name);
int OsRenameFile(const char* old_name, const char* new_name);

// 0, or 49; nothing for a virtually closed file (its data went out when
// the handle was given back).
int OsFlushFile(EngineOsFile* file);

// The file's size (of the host for a member). Reopens a virtually closed
// file first; when that fails: fatal 9455 (GetOsFileSize) or 38
// (OsFileSizeChecked, for callers that treat it as a damaged file).
uint32_t GetOsFileSize(EngineOsFile* file);
int OsFileSizeChecked(EngineOsFile* file, uint32_t* size);

// Seek, lock [position, position + length) in wait mode, read (mode 0) or
// write (mode 1), unlock. 35 seek failed; 36 short read; 37 short write
// (also when the range lock cannot be had); *count gets the bytes moved.
// lock_range false skips the lock and unlock: for a file opened exclusive,
// whose bytes no other handle can reach.
int OsPositionedIo(int mode, platform::OsFile* handle, uint32_t position, void* buffer,
                   uint32_t length, uint32_t* count, bool lock_range = true);

// The engine's entry for file I/O: a member goes to its host (whose open
// mode decides whether the range is locked, see TakesLocks), a virtually
// closed file is reopened (38), counts and byte totals are kept; a
// negative length (a request beyond 2 GB) is 469, for a write logged as
// "Warning: write size request > 2GB" with the name; a seek failure logs
// "SEEK_ERR..." with the name.
int FilePositionedIo(int mode, EngineOsFile* file, uint32_t position, void* buffer, int32_t length,
                     int32_t* count);

// A read as FilePositionedIo, without its own range lock: only for bytes
// that every writer, in any process, changes while holding a node or header
// lock that this handle holds now (no write can overlap the read, so the
// range lock could only cost two OS calls). Same codes.
int FilePositionedReadHeld(EngineOsFile* file, uint32_t position, void* buffer, int32_t length, int32_t* count);

// I/O steps. Every transfer of a file others can reach takes a range lock
// around it (two OS calls). Inside a step (an engine operation, opened with
// IoStepScope) the first transfer of such a file locks [0, kIoStepEnd) of it
// instead, and every later transfer of the step inside that range goes
// without a lock of its own: the same bytes are locked for each transfer,
// only held longer. The rule that keeps this free of deadlocks: a step's
// lock is never held while waiting. It is taken with one try (busy: every
// step lock is let go and the transfer takes its own waiting lock), and
// EngineSleep lets every step lock go before any pause (lock waits, the
// record-in-motion retries). A flush lets go first too (nobody waits on our
// disk), and a step lock is let go after kIoStepUses transfers so that
// another process's I/O comes in between. Lock bytes (node, record, header,
// member slots) all lie above kIoStepEnd: a step never covers one.
constexpr uint32_t kIoStepEnd = 0x7FFC0000u;
constexpr uint16_t kIoStepUses = 64;

// Opens and closes a step; steps nest, and the outermost close lets every
// step lock of this thread go. A step costs nothing for exclusive files.
void BeginIoStep();
void EndIoStep();
// Lets every step lock this thread holds go (the step stays open: the next
// transfer takes its lock again). Called before any wait.
void ReleaseIoSteps();

class IoStepScope {
 public:
  IoStepScope() { BeginIoStep(); }
  ~IoStepScope() { EndIoStep(); }
  IoStepScope(const IoStepScope&) = delete;
  IoStepScope& operator=(const IoStepScope&) = delete;
};

// fopen with up to tries attempts, giving back one engine handle between
// failed tries. Null when every try failed.
std::FILE* OpenStreamWithRetry(const char* name, const char* mode, int tries);

// A name for a temporary file, see os_file_layer.cpp: with option bit 0x80
// the buffer's directory text gets "T" and seven hexadecimal digits (153
// when the directory is too long; 17 after five names that exist); else the
// C library's temporary name (155 on failure). 0 on success.
int MakeTempFileName(char* buffer, int size);

// 0 when no file of that name exists and one could be created there
// (it is deleted again); -2 when it exists; -1 on a sharing error.
int IsNameFree(const char* name);

}  // namespace isam
