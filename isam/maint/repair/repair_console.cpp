// The repair's console: its messages and its one question.
#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "isam/maint/repair/data_file_repair.h"
#include "isam/maint/repair/repair_console.h"

namespace isam::maint {
namespace {

std::FILE* g_in = nullptr;
std::FILE* g_out = nullptr;

}  // namespace

void SetRepairConsole(std::FILE* in, std::FILE* out) {
  g_in = in;
  g_out = out;
}

void RepairPrint(const char* format, ...) {
  std::FILE* out = g_out != nullptr ? g_out : stdout;
  va_list args;
  va_start(args, format);
  std::vfprintf(out, format, args);
  va_end(args);
  std::fflush(out);
}

bool AskUseParameterValue(const char* label, long parameter_value, long header_value) {
  RepairPrint("\n\nWARNING: %s discrepancy.", label);
  RepairPrint("\nParameter file %s = %ld", label, parameter_value);
  RepairPrint("\n        Header %s = %ld", label, header_value);
  RepairPrint("\n\nUse parameter file value? (y or n)>> ");
  std::FILE* in = g_in != nullptr ? g_in : stdin;
  for (;;) {
    // Lines of any length: only the first character counts.
    int first = std::fgetc(in);
    if (first == EOF) return false;  // nobody left to answer: keep the header's value
    int c = first;
    while (c != '\n' && c != EOF) c = std::fgetc(in);
    if (first == 'y' || first == 'Y') return true;
    if (first == 'n' || first == 'N') return false;
    if (c == EOF) return false;
    RepairPrint("Improper choice. Try again (y or n)>> ");
  }
}

}  // namespace isam::maint
