// The type-ahead combo typed into key by key through its edit part: what
// the edit shows and which part of it is selected after each key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/event/type_ahead_combo.h"

namespace {

class ComboHost {
 public:
  ComboHost() {
    parent_ = ::CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    HWND h = ::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL,
                               10, 10, 200, 120, parent_, reinterpret_cast<HMENU>(100), nullptr, nullptr);
    combo_.SubclassWindow(h);
    combo_.AddString("Birthday");
    combo_.AddString("Anniversary");
    edit_ = ::FindWindowExA(h, nullptr, "Edit", nullptr);
  }
  ~ComboHost() { ::DestroyWindow(parent_); }

  void Key(UINT vk) {
    ::SendMessageA(edit_, WM_KEYDOWN, vk, 0);
    if (vk == VK_BACK) ::SendMessageA(edit_, WM_CHAR, '\b', 0);
  }
  void Type(char c) { ::SendMessageA(edit_, WM_CHAR, static_cast<WPARAM>(c), 0); }
  void Caret(int at) { ::SendMessageA(edit_, EM_SETSEL, at, at); }
  // "text[start,end)"
  std::string State() const {
    char text[64] = "";
    ::GetWindowTextA(edit_, text, sizeof text);
    DWORD s = 0, e = 0;
    ::SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return std::string(text) + "[" + std::to_string(s) + "," + std::to_string(e) + ")";
  }
  HWND Edit() const { return edit_; }

 private:
  HWND parent_ = nullptr;
  dialogs::CTypeAheadCombo combo_;
  HWND edit_ = nullptr;
};

struct KeyCase {
  const char* name;
  std::vector<int> keys;  // a letter types it; VK_BACK and VK_DELETE press them; -n puts the caret at n
  const char* state;
};

TEST(TypeAheadCombo, CompletesTypedTextFromItsList) {
  const KeyCase cases[] = {
      {"letter completes", {'b'}, "Birthday[1,8)"},
      {"backspace empties without completing", {'b', VK_BACK}, "[0,0)"},
      {"no entry matches", {'b', 'x'}, "Bx[2,2)"},
      {"delete takes the tail only", {'b', VK_DELETE}, "B[1,1)"},
      {"delete with nothing to delete keeps completing", {'b', VK_DELETE, VK_DELETE, 'i'}, "Birthday[2,8)"},
      {"backspace without selection completes again", {'b', 'x', VK_BACK}, "Birthday[1,8)"},
      {"case follows the entry", {'A', 'n'}, "Anniversary[2,11)"},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    ComboHost host;
    for (int k : c.keys) {
      if (k == VK_BACK || k == VK_DELETE)
        host.Key(static_cast<UINT>(k));
      else if (k < 0)
        host.Caret(-k);
      else
        host.Type(static_cast<char>(k));
    }
    EXPECT_EQ(host.State(), c.state);
  }
}

TEST(TypeAheadCombo, EditWantsCharacters) {
  ComboHost host;
  EXPECT_TRUE(::SendMessageA(host.Edit(), WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS);
}

}  // namespace
