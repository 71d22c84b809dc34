// The window-free side of the import and export option dialogs: the text
// import's column order, example date and recurring-type choices, and the
// text export's delimiter choices.
#pragma once

#include <string>
#include <vector>

namespace importexport {

// Column kinds of a text import, as stored digits.
enum ColumnKind { kDate = 0, kTime = 1, kName = 2, kType = 3 };

// The kinds of "ImportColumnOrder" in order: each digit 0..3 adds its kind
// once; other characters and repeats add nothing; kinds missing from the
// text (a damaged profile) follow in the order Date, Time, Name, Type.
std::vector<int> ParseColumnOrder(const std::string& text);
// One digit per kind in list order.
std::string ColumnOrderText(const std::vector<int>& kinds);
// "Date", "Time", "Name", "Type" (empty for anything else).
const char* ColumnKindName(int kind);

// "Example Date :  " followed by December 31, 1998 in the date order (0
// month-day-year, 1 day-month-year, 2 year-month-day) with the delimiter's
// first character between the parts ("/" when it is empty).
std::string ExampleDate(int order, const std::string& delimiter);

// "ImportDefaultFreq" (0, 4, 5, 6, 7) and the index of "One Time",
// "Daily", "Weekly", "Monthly", "Yearly"; an unknown value shows One Time.
int FreqToChoice(int freq);
int ChoiceToFreq(int choice);

// The export delimiter choices ",", tab, ";", blank, "~": the index of a
// stored character (0 for any other) and the character of an index.
int DelimiterChoice(int character);
char DelimiterCharacter(int choice);

}  // namespace importexport
