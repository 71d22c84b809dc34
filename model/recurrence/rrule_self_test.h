// The rule engine's built-in examples: 34 rules (the classic RRULE examples
// plus Easter, offset and BYSETPOS cases), each listed from 09:00 of a fixed
// date by asking for the next occurrence one second past each answer.
#pragma once

#include <string>

// Case 1..34: its title line followed by at most 31 occurrences, one line
// each as "Tuesday 9/02/1997, 9:00:00". "" for any other case number.
std::string RunRRuleSelfTest(int caseNumber);

// The number of cases.
constexpr int kRRuleSelfTestCases = 34;
