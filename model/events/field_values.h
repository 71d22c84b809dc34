// The structured values a record can hold as nested items: declared here
// for the record writer (field_buffer.h) and reader (field_buffer_reader.h),
// whose callers include the full headers of the values they pass.
#pragma once

class CDateTime;
class CDuration;
class CDateRange;
class CRecurrenceRule;
class COccurrenceOverride;
class COccurrenceState;
