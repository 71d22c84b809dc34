// The tags of an alarm e-mail's subject and message ("<name>", "<type>",
// "<start date>", "<start time>", "<end date>", "<end time>", "<age>",
// "<notes>") and their replacement by one occurrence's texts.
#pragma once

#include <string>

#include "model/events/event_text_fields.h"

// One left-to-right pass: each tag found is replaced by its text and the
// scan goes on after the tag, so a replacement text that itself holds a tag
// (an event named "<type>") stays as it is. Exact, case-sensitive matches
// only ("<Name>" stays as written). Never fails.
std::string ReplaceAlarmTags(const std::string& text, const EventTextFields& fields, const std::string& notes);
