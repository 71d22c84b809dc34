// Per-event values that follow a program setting: a number holds -2 and a
// text is empty while the event uses the setting. Resolve... gives the value
// in force; To... stores a value the way the event keeps it, so an event
// whose value equals the setting follows later changes of the setting.
#pragma once

#include <cstdint>
#include <string>

constexpr int kInheritSetting = -2;

inline int16_t ResolveInherited(int16_t value, int16_t setting) {
  return value == kInheritSetting ? setting : value;
}
inline int32_t ResolveInheritedInt(int32_t value, int32_t setting) {
  return value == kInheritSetting ? setting : value;
}
inline std::string ResolveInheritedText(const std::string& text, const std::string& setting) {
  return text.empty() ? setting : text;
}

inline int16_t ToInherited(int16_t value, int16_t setting) {
  return value == setting ? static_cast<int16_t>(kInheritSetting) : value;
}
inline int32_t ToInheritedInt(int32_t value, int32_t setting) {
  return value == setting ? kInheritSetting : value;
}
// Exact, case-sensitive comparison.
inline std::string ToInheritedText(const std::string& text, const std::string& setting) {
  return text == setting ? std::string() : text;
}
