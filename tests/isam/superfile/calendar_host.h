// The host file a calendar's event set lives in: tests create it as the
// application does (a shared superfile host, mode 515) and name the set by
// its member, "<path>!events".
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "isam/calendar_file_set.h"
#include "isam/index/file_close.h"
#include "isam/index/file_control_block.h"
#include "isam/index/file_create.h"
#include "isam/index/member_files.h"

namespace isam {

// Creates the host at a free pair of numbers and leaves it open: its number,
// or -code.
inline int CreateCalendarHost(const std::string& path) {
  std::remove(path.c_str());
  const int n = FindFreeFileNumbers(2);
  if (n < 0) return -46;
  const int rc = CreateDataFile(n, path.c_str(), 0, 4096, static_cast<uint16_t>(kCalendarHostMode));
  return rc == 0 ? n : -rc;
}

// Closes the set and the host it opened, so the next open reads the file
// afresh as a new process would.
inline void CloseSetAndHost(CalendarFileSet& set) {
  const FileControlBlock* host = SuperfileHostOf(CheckFileNumber(set.data_file()));
  ASSERT_NE(nullptr, host);
  const int host_number = host->number;
  ASSERT_EQ(0, CloseFileSet(set.block()));
  ASSERT_EQ(0, CloseFileEntry(host_number));
}

}  // namespace isam
