// Compiling a condition text into an ExprNode tree.
//
// A compile works against a data file's record schema (the field types)
// and its field-name list (one entry per field in schema order, repeats
// counted: a one-byte entry length counting itself, then the
// zero-terminated name). An identifier names the first field whose name
// matches it exactly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "isam/index/record_schema.h"
#include "isam/maint/expr/expr_node.h"

namespace isam::maint {

// Compile results (kept in the instance's expr_last_error).
constexpr int kExprOk = 0;
constexpr int kExprSyntax = 1;      // syntax or type error, unknown field, token too long, no memory for a node
constexpr int kExprNoScanner = 2;   // no memory for the scanner state
constexpr int kExprTooDeep = 4;     // nesting past what the parser holds, or a tree past kExprMaxDepth

// Parentheses, unary operators and calls nested deeper than this fail with 4.
constexpr int kExprMaxNesting = 145;

struct ExprFieldNames {
  const uint8_t* data = nullptr;
  std::size_t length = 0;
};

// Compiles `length` bytes of text (the length counts a terminating zero).
// Returns the root (a truth node, kinds 81-84) or null; the result code goes
// to expr_last_error of the current instance (and to *code when given).
// Any failure frees every node made so far.
ExprNode* ExprCompile(const RecordSchemaView* schema, const ExprFieldNames& names, const char* text,
                      std::size_t length, int* code = nullptr);

// The raw schema type byte of field n (repeats counted); false when the
// schema does not reach it.
bool ExprSchemaFieldType(const RecordSchemaView* schema, uint32_t n, uint8_t* type);

// The value type a field of that schema type yields, or 0 when such a
// field cannot be referenced.
int ExprTypeOfField(uint8_t schema_type);

}  // namespace isam::maint
