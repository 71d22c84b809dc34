#include "storage/import_export_options.h"

#include <algorithm>

namespace importexport {

std::vector<int> ParseColumnOrder(const std::string& text) {
  std::vector<int> kinds;
  auto add = [&kinds](int kind) {
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
  };
  for (char c : text)
    if (c >= '0' && c <= '3') add(c - '0');
  for (int kind = kDate; kind <= kType; ++kind) add(kind);
  return kinds;
}

std::string ColumnOrderText(const std::vector<int>& kinds) {
  std::string text;
  for (int kind : kinds) text += static_cast<char>('0' + (kind >= kDate && kind <= kType ? kind : kDate));
  return text;
}

const char* ColumnKindName(int kind) {
  switch (kind) {
    case kDate: return "Date";
    case kTime: return "Time";
    case kName: return "Name";
    case kType: return "Type";
    default: return "";
  }
}

std::string ExampleDate(int order, const std::string& delimiter) {
  const std::string d = delimiter.empty() ? std::string("/") : delimiter.substr(0, 1);
  std::string date;
  switch (order) {
    case 1: date = "31" + d + "12" + d + "1998"; break;
    case 2: date = "1998" + d + "12" + d + "31"; break;
    default: date = "12" + d + "31" + d + "1998"; break;
  }
  return "Example Date :  " + date;
}

namespace {
constexpr int kFreqs[] = {0, 4, 5, 6, 7};
constexpr char kDelimiters[] = {',', '\t', ';', ' ', '~'};
}  // namespace

int FreqToChoice(int freq) {
  for (int i = 0; i < 5; ++i)
    if (kFreqs[i] == freq) return i;
  return 0;
}

int ChoiceToFreq(int choice) { return choice >= 0 && choice < 5 ? kFreqs[choice] : 0; }

int DelimiterChoice(int character) {
  for (int i = 0; i < 5; ++i)
    if (kDelimiters[i] == character) return i;
  return 0;
}

char DelimiterCharacter(int choice) { return choice >= 0 && choice < 5 ? kDelimiters[choice] : ','; }

}  // namespace importexport
