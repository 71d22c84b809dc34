// The field names of a data file ("EN!DEF" kind 2) and the combined record
// definition a caller reads back: schema, names, or a table describing
// every field with its offset.
//
// Field-name definition: per field, in schema order, one length byte that
// counts itself, the name and its terminating zero (name length + 2), or a
// single byte 1 for a field without name. A list without any name is
// stored as an empty definition.
#pragma once

#include <cstdint>

#include "isam/record/record_schema_store.h"

namespace isam {

// Stores the names of `count` fields. Errors: 33 no field list, 434 a name
// longer than 253 bytes, 48 not a data file, 62 open shared (unless
// `creating`), PutDefinitionResource's codes.
int PutFieldNames(int data_file, const RecordField* fields, int count, bool creating = false);

// Stores the schema (PutRecordSchema) and then the names (PutFieldNames):
// the first error of the two.
int DefineRecordFields(int data_file, const RecordField* fields, int count, bool creating = false);

// Modes of GetRecordDefinition.
constexpr int kRecordDefinitionSchema = 1;
constexpr int kRecordDefinitionNames = 2;
constexpr int kRecordDefinitionBoth = 3;  // schema, then names
constexpr int kRecordDefinitionTable = 4;

// Mode 4: one entry per field (repeats expanded), then an entry whose
// offset is -1, then the names (zero-terminated) the entries point at.
struct RecordFieldDescription {
  int32_t name_offset = -1;  // from the start of the buffer; -1: no name
  int32_t offset = -1;       // in the record, by the alignment rule
  int32_t type = 0;
  int32_t size = 0;
};

// Returns the bytes the definition needs and fills buffer when `size` is at
// least that (buffer may be null to ask for the size); a negative value is
// minus the error: 116 a mode other than 1-4, 199 no schema (modes 1, 3,
// 4), 48 not a data file, kErrFileDamaged a damaged name list, read
// codes. Without names mode 2 needs 0 bytes; fields beyond the stored
// names have none.
// `alignment` places the fields of mode 4 (-1: the schema's own). Mode 4
// offsets give every field its schema size (see SchemaFieldOffset).
int32_t GetRecordDefinition(int data_file, int32_t size, void* buffer, int alignment, int mode);

}  // namespace isam
