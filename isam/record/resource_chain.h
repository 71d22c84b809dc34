// Resources inside engine files: numbered or named blobs kept in a circular
// chain that starts at the file's anchor (resource_anchor.h), in ascending
// order of (type, number), outside the order of the records.
//
// The caller's buffer for add, update and get holds the resource data
// exactly as stored: u32 type, u32 number (little-endian), a zero-terminated
// name (may be empty), then the payload. Every operation runs under the
// file's header lock, so processes sharing the file see whole changes only.
#pragma once

#include <cstdint>

namespace isam {

struct FileControlBlock;

// Find modes (bits 0x01, 0x40 and 0x100 are flags; 0x100 changes nothing
// here).
constexpr int kFindResourceByKey = 2;       // key: u32 type, u32 number
constexpr int kFindResourceFirstOfType = 4; // key: u32 type
constexpr int kFindResourceFirst = 8;       // the first behind the anchor
constexpr int kFindResourceByName = 16;     // key: the zero-terminated name
constexpr int kFindResourceByPosition = 32; // key: u32 position
constexpr int kFindResourceAfter = 128;     // first (type, number) above the key
constexpr int kFindResourceLock = 0x01;     // lock each visited resource (see below)
constexpr int kFindResourceDescribe = 0x40; // return 12 bytes: type, number, data length
constexpr int kFindResourceFlag100 = 0x100;

constexpr uint32_t kResourceNextNumber = 0xFFFFFFFFu;

// Finds a resource and copies its data (at most size bytes) into buffer.
// Returns its position, or 0 with eng_err: 401 the file has no resources,
// 403 bad key (type 0 number 0 for mode 2, type 0 for mode 4, empty name),
// 406 bad mode, 408 not found, 407 a bad mark in the chain, kErrFileDamaged
// a chain that never comes back to its anchor or a stretch that cannot lie
// in the file, I/O codes. A buffer shorter than the data gets the first
// size bytes and 404 (the position is still returned); *used gets the
// data length when not null.
// Flag 0x40: instead of the data, 12 bytes: u32 type, u32 number, u32 the
// data length (the whole resource data, type, number and name included);
// 404 (and no search) when size is below 12.
// Flag 0x01 on a shared file: each resource the search reads is write-locked
// (as a record lock); while another process holds one, the search lets
// everything go and starts again after 50 ms, as often as the lock policy's
// lock_tries allow (then 42). Every lock it took is released before it
// returns, locks this instance held before are kept.
uint32_t ResourceRecordFind(int file, const void* key, void* buffer, int32_t size, int mode,
                            int32_t* used = nullptr);

// Add, update and delete lock the resources they walk over as flag 0x01
// does (pausing 10 ms between tries) and release them before returning.
//
// Adds a resource: 0, 405 one of that type and number exists, 403 data
// shorter than type, number and name, or type 0 number 0, codes as above.
// A number of 0xFFFFFFFF becomes the number of the resource in front of
// the insertion point + 1 when that one has the same type, else 0 (the
// data's number field is not changed; *assigned gets it when not null).
int AddResourceEntry(int file, const void* data, int32_t length, uint32_t* assigned = nullptr);

// Replaces the data of the resource of that type and number (408 absent).
// Data that no longer fits moves to a new stretch: the chain is relinked
// to it first, then the old stretch is freed.
int ResourceRecordUpdate(int file, const void* data, int32_t length);

// Removes the resource with key (u32 type, u32 number): 408 when absent;
// its space is given back: a variable-length file (superfile members
// included) takes it into its free space, an index member of a superfile
// hands the host stretch around it to the host; fixed-length and plain
// index files keep it unlinked, marked as a resource stretch that walks
// skip whole.
int DeleteResource(int file, const void* key);

// A change relinks the chain in two writes, the forward link first, and a
// data file (variable length) counts its writer in first (writer_mark.h).
// A writer cut off between the two leaves the back link of the resource
// after the change stale (naming the resource before the new one, or the
// stretch that left the chain); the searches and changes above follow the
// forward links and pass such a link over, anything else is damage
// (kErrFileDamaged).

// Walks the chain once and checks it: 0 when it closes on its anchor with
// every mark and link sound (a stale back link is damage here); the count
// of resources (anchor excluded) in *count when not null.
int CheckResourceChain(int file, int32_t* count);

// For the mend at open, with the caller alone: every stale back link is set
// to the resource in front of it, the anchor's included. 0 (also for a file
// without resources), or the walk's or write's code (kErrFileDamaged for a
// chain that is damaged, not just stale).
int RepairResourceBackLinks(int file);

}  // namespace isam
