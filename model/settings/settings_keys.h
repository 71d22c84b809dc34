// The table of every scalar key of the profile section "Settings": name,
// type, the member that holds it and its default. LoadSettings and
// SaveSettings walk it in this order; the list keys (event types, calendar
// files) are read and written by their own code. Internal to the settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/settings/program_settings.h"

struct SettingsKey {
  enum class Type { kInt, kInt16, kText, kFont };
  // Defaults that depend on the day of loading.
  enum class Default { kFixed, kTodayNumber, kTodayNumberMinus1, kTodayJulianDay };

  const char* name;
  Type type;
  // Exactly one of these is set, by type (kFont uses text and font).
  int32_t CProgramSettings::*intMember;
  int16_t CProgramSettings::*shortMember;
  std::string CProgramSettings::*textMember;
  LogFont CProgramSettings::*fontMember;
  int32_t numberDefault;
  const char* textDefault;
  Default dynamicDefault;
};

// Every scalar key, in load and save order (BlankTypeColor comes before the
// types that default to it).
const std::vector<SettingsKey>& AllSettingsKeys();

// The default of a number key on the given day (local date and its Julian
// day) — for the keys whose default is "today".
int32_t SettingsNumberDefault(const SettingsKey& key, int year, int month, int day, int32_t julianDay);
