// File attribute, file name and definition-change calls over an open
// file's control block. Results go to eng_err as well.
#pragma once

#include <cstdint>

namespace isam {

// The value of one attribute of an open file by code (see the .cpp table);
// -1 with eng_err 116 for an unknown code, -1 with the file-number error
// (22, 26, 47) when the file is not open.
int32_t GetFileAttribute(int16_t file, int code);

// Kind 0: the file's name. Kinds 1..3: the names kept for it in the file-set
// tables (empty until those tables exist). 540 null buffer; 153 when the
// name is not shorter than size; 116 another kind; 0.
int GetFileName(int16_t file, char* buffer, int size, int kind);

// Replaces one header value and returns the old one through *value; the
// header is written afterwards unless the file is opened with 0x20.
// 62 for codes below 32 on a file opened shared or read-only; 48 code 33
// on an index; 116 for codes 8..16 and unknown codes; 0.
int AlterFileDefinition(int16_t file, int code, int32_t* value);

// Function number 1. 62 shared or read-only file; 48 when bit 0x4 does not
// agree with the file type; stores the mode and the kept bits (& 0x86F4)
// and writes the header of the file and of each index member; 0.
int SetFileMode(int16_t file, uint16_t mode);

// Function number 19108: copies the key-length bytes of the index's current
// key into buffer (zeros when there is none). 48 for a file that is not an
// index; 540 null buffer; 0.
int GetCurrentKey(int16_t file, void* buffer);

// Installs numbers 1 and 19108.
void InstallFileAttributeFunctions();

}  // namespace isam
