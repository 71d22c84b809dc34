// In-memory dialog templates for framework tests (the framework has no
// resources of its own).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace frameworktest {

class DialogTemplate {
 public:
  DialogTemplate(const std::string& caption, short cx, short cy, DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  // Class atoms: 0x0080 button, 0x0081 edit, 0x0082 static.
  void Add(WORD id, WORD classAtom, DWORD style, short x, short y, short cx, short cy, const std::string& text = "");
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Align();
  void Text(const std::string& s);
  void Dword(DWORD v);
  std::vector<WORD> words_;
};

}  // namespace frameworktest
