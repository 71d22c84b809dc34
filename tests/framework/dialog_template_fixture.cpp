#include "dialog_template_fixture.h"

namespace frameworktest {

DialogTemplate::DialogTemplate(const std::string& caption, short cx, short cy, DWORD style) {
  Dword(style);
  Dword(0);
  words_.push_back(0);  // item count, counted by Add
  words_.push_back(0);
  words_.push_back(0);
  words_.push_back(static_cast<WORD>(cx));
  words_.push_back(static_cast<WORD>(cy));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // standard class
  Text(caption);
}

void DialogTemplate::Dword(DWORD v) {
  words_.push_back(LOWORD(v));
  words_.push_back(HIWORD(v));
}

void DialogTemplate::Text(const std::string& s) {
  for (char c : s) words_.push_back(static_cast<WORD>(static_cast<unsigned char>(c)));
  words_.push_back(0);
}

void DialogTemplate::Align() {
  if (words_.size() % 2) words_.push_back(0);
}

void DialogTemplate::Add(WORD id, WORD classAtom, DWORD style, short x, short y, short cx, short cy,
                         const std::string& text) {
  Align();
  Dword(style | WS_CHILD | WS_VISIBLE);
  Dword(0);
  words_.push_back(static_cast<WORD>(x));
  words_.push_back(static_cast<WORD>(y));
  words_.push_back(static_cast<WORD>(cx));
  words_.push_back(static_cast<WORD>(cy));
  words_.push_back(id);
  words_.push_back(0xFFFF);
  words_.push_back(classAtom);
  Text(text);
  words_.push_back(0);  // no creation data
  ++words_[4];
}

}  // namespace frameworktest
