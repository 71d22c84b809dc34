// Storing a data file's record schema ("EN!DEF" kind 1) and the copy of it
// that the file's control block keeps for the key builder, the field
// lookups and the condition evaluator; the delimiter and pad byte a file
// carries (SetHeaderFlagByte).
//
// The copy is taken when the schema is stored and otherwise read from the
// file the first time it is asked for (RecordSchemaOf), or at open
// (LoadRecordSchema); it goes with the control block when the file closes.
#pragma once

#include <cstdint>

#include "isam/index/record_schema.h"

namespace isam {

struct FileControlBlock;

// One field of a caller's field list (PutRecordSchema, PutFieldNames,
// DefineRecordFields): its name (null or empty: none), type (0 = 146,
// delimited text) and length (used for the types above 145).
struct RecordField {
  const char* name = nullptr;
  int32_t type = 0;
  int32_t length = 0;
};

// Stores the schema of `count` fields: header (2, alignment 8, delimiter 0,
// pad 32, total, field count, entry count), one entry per field. Errors:
// 33 no field list, 432 a type from 109 to 145 (or a length that does not
// fit 16 bits), 48 not a data file, 62 the file is open shared (unless
// `creating`: this instance is making the file and no other opener can hold
// it), PutDefinitionResource's codes. Replaces the control block's copy and
// marks the keys that use a field of the variable part as
// partial-record-allowed.
int PutRecordSchema(int data_file, const RecordField* fields, int count, bool creating = false);

// Selectors of SetHeaderFlagByte.
constexpr int kFlagByteDelimiter = 2;  // data file: the schema's delimiter
constexpr int kFlagBytePad = 3;        // data file: the schema's pad byte; index: the header's

// Sets one byte: in a data file the stored schema's delimiter or pad byte
// (199 when the file has no schema), in an index file (or member) the
// header's padding byte (only kFlagBytePad; 48 for the delimiter). Errors:
// 116 another selector, 62 the file is open shared (unless `creating`), 54
// / 121 / 99 updates refused, write codes.
int SetHeaderFlagByte(int file, int which, uint8_t value, bool creating = false);

// Reads the stored schema of an open data file into its control block: 0
// (also when it has none: no resources, no "EN!DEF", no kind 1), 407 a
// schema this engine cannot read, read codes. For the data-file open.
int LoadRecordSchema(int file);

// The control block's schema, read from the file on first use; a view
// without data when the file has none (or it cannot be read: the key
// builder then answers 199). Leaves eng_err as it was.
RecordSchemaView RecordSchemaOf(FileControlBlock* data);

// Takes a schema just stored as kind 1 into the data file's control block
// and marks the file's keys that use a field lying in the variable part
// (called by PutDefinitionResource).
void AdoptRecordSchema(int data_file, const uint8_t* schema, uint32_t length);

// Marks the keys of an open set whose schema segments reach the variable
// part, from the data file's stored schema (the file-set open, once its
// ISAM rows are filled). Leaves eng_err as it was.
void MarkSchemaPartialKeys(int data_file);

}  // namespace isam
