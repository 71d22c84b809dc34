// The per-file record in memory (FileControlBlock), the table of file
// numbers, and the header-level services every file operation shares: header
// read and write, the header lock, growing a file and the update check.
//
// Every call runs under the engine gate on the current EngineInstance and
// leaves its code in eng_err.
#pragma once

#include <cstdint>
#include <vector>

#include "isam/index/btree_node.h"
#include "isam/index/file_header.h"
#include "isam/index/varlen_record.h"
#include "isam/runtime/os_file_layer.h"

namespace isam {

struct EngineInstance;
struct CondIndexSet;
struct ExprNode;

// File states.
constexpr char kStateFree = 'n';
constexpr char kStateOpen = 'y';
constexpr char kStateVirtual = 'v';
constexpr char kStateTransitional = 'w';
constexpr char kStateReservedMember = 'm';
constexpr char kStateRebuild = 's';

constexpr int kFileTableStep = 32;
constexpr int kFileTableMax = 110;
constexpr int kMaxIndexMembers = 32;

struct FileControlBlock {
  FileHeader header;              // image of the file's (or member's) header
  uint32_t header_position = 0;   // where the header lies (128 x member in an index)
  EngineOsFile os;                // the OS file (members use their host's)
  FileControlBlock* host = nullptr;         // itself, or the first index of a member
  FileControlBlock* next_member = nullptr;  // next index member
  int16_t number = 0;
  char state = kStateFree;
  char name[256] = {};

  // Index files: the layout of the nodes and the current key of searches.
  NodeLayout layout;
  uint8_t current_key[256] = {};
  uint32_t current_node = 0;      // 0: no current key
  int current_entry = 0;          // 1-based entry number in current_node

  int header_lock_depth = 0;      // the header lock nests within one operation
  bool updates_blocked = false;   // AlterFileDefinition code 33
  CondIndexSet* cond_index = nullptr;  // data files (maintenance utilities)
  ExprNode* own_condition = nullptr;   // index files
  uint16_t* collation = nullptr;       // 256-entry table of flag 0x20, or null
  // Data files: the record schema ("EN!DEF" kind 1) once it was looked up
  // (record_schema_store.h); empty when the file has none.
  std::vector<uint8_t> record_schema;
  bool record_schema_loaded = false;

  // The header as the disk last held it (read or written by this block), so
  // a failed header write can put memory and disk back together.
  FileHeader disk_header;
  bool disk_header_known = false;
  // This opener counted itself in the header's unclean-writer count
  // (writer_mark.h) and takes itself out again at its clean close.
  bool writer_marked = false;

  // Shared files (on the block whose handle holds the locks): the node
  // positions whose node lock this handle holds now, as far as four (more
  // are held, just not listed). A listed node is read without a range lock:
  // nobody writes a node without its lock.
  uint32_t held_nodes[4] = {};
  int held_node_count = 0;
  // The stretch AllocVarSpace handed out last and the header it wrote for
  // it, so the record write that follows at once need not read it back
  // (position 0: none). Any other header write or give-back forgets it.
  uint32_t claimed_stretch = 0;
  // Index files: the inner levels the last descent passed before its leaf
  // (-1 before the first), where an insert or delete locks before reading.
  int leaf_level_hint = -1;
  VarRecordHeader claimed_header;
};

// ---- the file-number table ----

// The block of an open file, or null: 47 no table, 22 number out of range
// (negative or not below the file count), 26 not open. 'y', 'v' and 'w'
// count as open; a block in another state than the known ones is fatal 222.
FileControlBlock* CheckFileNumber(int number);
// The block of a number whatever its state (created on first use); null with
// 47 / 22 / 603 (no memory).
FileControlBlock* GetFileControlBlock(int number);
// The open block of a number (the name the maintenance utilities use).
inline FileControlBlock* FileControlOf(int number) { return CheckFileNumber(number); }
// 0 free, 46 in use, 22 out of range, 47 no table.
int FileNumberState(int number);
// Lowest n with n .. n + count - 1 all free; grows the table once when none;
// -1 with ISAM error 46 when still none.
int FindFreeFileNumbers(int count);
// Number of the open (or virtually closed) non-member file of that name, or -1.
int FindOpenFileByName(const char* name);

// Makes the table as large as number needs (steps of 32, at most 110 and at
// most the file count): 0, 22 or 603.
int GrowFileTable(int number);

// ---- header I/O and locking ----

// The block whose OS file holds this file's bytes (the first index for a
// member).
inline FileControlBlock* HolderOf(FileControlBlock* fcb) { return fcb->host ? fcb->host : fcb; }
inline bool IsShared(const FileControlBlock* fcb) { return (fcb->header.open_mode & kModeShared) != 0; }

// Reads the header at header_position into the image: 0 or the I/O code.
// A superfile member's ends are raised to its host's logical end (a
// member's stretches lie anywhere in the host, and a member header lost
// after the host grew must not hide them).
int ReadFileHeader(FileControlBlock* fcb);
// Writes the whole header image (write count + 1): 0 or the I/O code. On a
// failed write the image in memory goes back to what the disk last held
// (the open mode stays ours) and that image is written again, undoing a
// write cut short: a change the disk did not take is never kept in memory.
int WriteFileHeader(FileControlBlock* fcb);

// Writes the first 12 bytes of the header image (physical end, delete
// stack, logical end) alone: 0 or the I/O code. A variable-length file is
// created with its ends on disk before the rest of its header.
int WriteHeaderStart(FileControlBlock* fcb);

// The header lock of a file or index member. Within one operation it nests:
// only the outermost lock and unlock reach the OS, so a call made while the
// caller holds the lock never asks the OS for a byte this handle already
// holds. For a shared file the outermost lock re-reads the header. 0, or 50
// / 653 from the lock layer, or the read's code (the lock is then released).
int LockFileHeader(FileControlBlock* fcb);
// 0 or 51. An unlock without a lock does nothing.
int UnlockFileHeader(FileControlBlock* fcb);

// Allocates `bytes` at the end of the file, the start rounded up to a
// multiple of `alignment` (1 for none): returns the position of the new
// space (0 with eng_err on failure). The physical end grows by whole
// extensions; new space is written with 0xFF and the file flushed (unless
// mode 0x20). In a variable-length file (or host) the new space is one
// stretch, and its header (0xFAFA, the whole length, used 0, the file's
// member number) is on disk before the header that names the new end, so a
// crash never leaves a stretch without a header. Takes the header lock
// itself (nesting with the caller's) and writes the header. 39 when the end
// would wrap past 4 GB.
uint32_t ExtendFile(FileControlBlock* fcb, uint32_t bytes, uint32_t alignment);
// ExtendFile for a caller holding the header lock that writes the header
// (WriteFileHeader) itself right after: the grown ends stay in the header
// image for that one write to publish, so the claim costs no header write
// of its own. Until then the disk names the old end, and a failed write
// puts the image back to it (the new space is claimed again next time). A
// superfile member, or a caller without the lock, extends as ExtendFile
// does. Returns as ExtendFile.
uint32_t ExtendFileForHeaderWrite(FileControlBlock* fcb, uint32_t bytes, uint32_t alignment);
// ExtendFile of a host for one of its members: the stretch header names
// `member`.
uint32_t ExtendHostFor(FileControlBlock* host, uint32_t bytes, uint32_t member);

// The update check: 54 read-only, 121 updates blocked, 99 a file kept for
// transaction processing (mode 0x10) outside a transaction; else 0.
int UpdateAllowed(const FileControlBlock* fcb);

// The serial-number counter of a data file (read again first for a shared
// file). With the instance's option bit 0x80000 the next number is reserved
// instead (update check, counter + 1 under the header lock, header written)
// and returned; 0 with 44 when it cannot be raised, 0 with eng_err set on
// other failures.
uint32_t CurrentSerialNumber(int file);

// The node layout of an index (or member) from its header.
NodeLayout LayoutOfIndex(const FileHeader& header);
// kErrFileDamaged when an index header's geometry cannot describe real
// nodes (a node size that is not a positive multiple of 128, key bytes or
// leaf limit beyond the node, a key length too small for its duplicates).
int CheckIndexGeometry(const FileHeader& header);

}  // namespace isam
