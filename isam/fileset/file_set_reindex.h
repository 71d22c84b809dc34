// The mend's last resort. A write torn at a page boundary, or a page a
// power cut lost, can leave an index node half new and half old: a tree the
// key-by-key mend cannot trust. The records themselves are the truth, so
// such an index is built again from them. An open that mended a set asks
// the full check whether it is whole now; when not, it rebuilds every index
// of the set and asks again, and a set still not whole fails the open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace isam {

struct FileControlBlock;

// Every index of the data file's set emptied (its old nodes are left where
// they are, unreachable: the next compaction takes them back) and filled
// again with one key per live record, and the free-space index with one
// key per free stretch. Two live records under one key of a unique index
// are a rewrite cut short (its old copy not yet let go): the first stays,
// the other is let go. A record whose check value denies its bytes, or
// with a page of space never written (RecordHoldsFill), is set aside
// (file_set_mend_report.h) and let go. 0; kErrFileDamaged (690) when the
// data file cannot be walked; or an I/O code. `salvage`: a stretch header
// that makes no sense is no reason to stop: the bytes up to the next sound
// header (a record's: whose bytes match its check value) become a free
// stretch, noted in the mend report.
int RebuildIndexesFromRecords(int data_file, bool salvage = false);

// A stretch whose record must not live on, freed: marked unfilled first, so
// that a crash during its free can never bring it back as a record. 0 or
// the code of the header read, its write or the free.
int LetStretchGo(FileControlBlock* fcb, uint32_t position);

// The data file's free-space index started empty (its old nodes stay behind
// as stretches no walk of the records reads) and given one key for each of
// `free` (position, total): 0, kErrFileDamaged, or an I/O code.
int RebuildSpaceIndex(FileControlBlock* fcb, const std::vector<std::pair<uint32_t, uint32_t>>& free);

// Writes that arrive whole and in order never leave a key naming a stretch
// of the data file that holds no live record (or a record with another
// key; a key past the data's end is no stretch and is left to the mend): a record goes
// in before any key names it and is let go only after its keys left it.
// Nor do they leave a record with 0xFF fill where a page of it should be
// (its data goes in before its header says it is there). Either is the
// trace of writes lost out of order (a power cut took a page): what the
// record held may be gone, so the key-by-key mend must not drop or keep it
// by what the keys say: the open then builds every index again from the
// records. kErrFileDamaged for such a trace; 0 otherwise, also for an index that
// cannot be walked to its end or whose searches miss keys its leaves hold
// (a torn node, whose old half may name records long gone: the rebuild's
// case).
int FindTracesOfLostWrites(int data_file);

// 0 when the full check (file_set_check.h) finds the set whole, else its
// code (kErrFileDamaged for damage).
int CheckFileSetWhole(int data_file);

// Whether a live record holds bytes no writer put there: the 0xFF fill a
// file's new space gets, where a page lost to a power cut would leave it:
// a run of at least kFillRun bytes anywhere, or, with `pieces`, also a part
// of the record that lies wholly in one page of kFillPage bytes
// (data_position: the file position of its first byte) and is fill from
// end to end. A record may hold a few 0xFF bytes of its own at a page's
// edge, so only the mend after a crash asks about pieces (and refuses the
// set rather than guess); the full check asks about runs.
constexpr std::size_t kFillRun = 64;
constexpr uint32_t kFillPage = 4096;
bool RecordHoldsFill(const uint8_t* data, std::size_t length, uint64_t data_position, bool pieces);

}  // namespace isam
