// Paths and files the alarm action tests share under Wine.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace actiontest {

// A Unix path as this program opens it (Wine maps the root to Z:).
inline std::string WinPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path.size() && path[0] == '\\' ? "Z:" + path : path;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string TempFile(const std::string& name) {
  char dir[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + name;
  ::DeleteFileA(path.c_str());
  return path;
}

}  // namespace actiontest
