// The external merge sort of fixed-length keys: keys are kept in a bounded
// set of memory blocks and sorted by pointer; when memory is full they go
// to a work file as a sorted run; runs of equal size are merged in groups
// while they accumulate, and the keys come back one by one in ascending
// byte order (memcmp over the whole key).
//
// Work files live in the current directory: "sw" and six hexadecimal
// digits of the current time in seconds (lowest nibble first), a point and
// the run's slot ("%03d"); a merge writes to the same name ending in "X".
// Each is created exclusively (a name already taken moves to the next time
// value), and every way out of a sort (delivery of the last key, an error,
// SortAbort) deletes every work file it made.
//
// Errors are the context's codes below; eng_err gets 370 + code.
#pragma once

#include <cstdint>
#include <string>

namespace isam {
struct SortContext;
}

namespace isam::maint {

constexpr int kSortErrorBase = 370;
constexpr int kSortNoContextMemory = 482;  // eng_err when the context itself cannot be had
constexpr int kSortDeleteAtAbort = 101;
constexpr int kSortNoFirstBlock = 107;
constexpr int kSortNotCreated = 108;
constexpr int kSortInputClosed = 109;
constexpr int kSortKeyTooLong = 110;       // also a key length of 0
constexpr int kSortNextNotCreated = 111;
constexpr int kSortNoMemory = 112;
constexpr int kSortNoRunKey = 113;
constexpr int kSortRunOpen = 114;
constexpr int kSortMergeFile = 115;
constexpr int kSortShortRead = 117;
constexpr int kSortCloseMerge = 120;
constexpr int kSortCloseRun = 121;
constexpr int kSortDeleteRun = 122;
constexpr int kSortRenameMerge = 123;
constexpr int kSortCloseNewRun = 124;
constexpr int kSortCreateRun = 125;        // also: no slot left for a run (a 1000th)
constexpr int kSortShortWrite = 126;       // also: a run would pass the 4 GB a work file can hold

// A context for keys of key_length bytes merged `order` runs at a time
// (clamped to 3..5). Null with eng_err 482 (no memory for the context) or
// 370 + code (110 key length 0, 112 no memory for the blocks).
SortContext* SortCreate(int key_length, int order);

// Copies one key in: 0 or a code (108 no context, 109 after the first
// SortNextKey, run-writing codes).
int SortAddKey(SortContext* context, const void* key);

// The next key into out: 0; 1 when none is left (the context is freed
// then: do not use it again); or an error code (111 no context or no out
// buffer; the context stays for SortAbort).
int SortNextKey(SortContext* context, void* out);

// Deletes every work file, frees the context and returns its error code.
int SortAbort(SortContext* context);

// What a sort did so far (for tests and the benchmark).
struct SortStats {
  int32_t block_size = 0;
  int32_t pointer_capacity = 0;
  int32_t runs_written = 0;       // runs spilled from memory
  int32_t merges = 0;             // intermediate merges
  int32_t open_files_peak = 0;    // work files open at once, at most
  uint64_t work_bytes = 0;        // bytes written to work files
};
SortStats SortStatsOf(const SortContext* context);

// The work-file name of run `run` for the time value `seconds`.
std::string SortWorkFileName(uint32_t seconds, int run);

}  // namespace isam::maint
