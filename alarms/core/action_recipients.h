// Splitting an alarm's recipients text into single addresses.
#pragma once

#include <string>
#include <vector>

// Cuts the text at every comma and semicolon, trims blanks and tabs on both
// sides of each piece and drops the empty pieces:
// "a@x.org , b@y.org;; c@z.org;" gives three addresses. Never fails.
std::vector<std::string> SplitAlarmRecipients(const std::string& text);
