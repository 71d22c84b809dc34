#include "framework/dialogs/data_exchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "framework/dialogs/dialog.h"
#include "framework/dialogs/message_box.h"

namespace framework {

namespace {

std::string ControlText(HWND h) {
  int n = ::GetWindowTextLengthA(h);
  std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
  ::GetWindowTextA(h, buf.data(), n + 1);
  return buf.data();
}

// A whole-number text (blanks around it allowed) within [lo, hi].
bool ParseWhole(const std::string& text, long long lo, long long hi, long long* out) {
  const char* s = text.c_str();
  while (*s == ' ' || *s == '\t') ++s;
  if (!*s) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(s, &end, 10);
  if (end == s || errno == ERANGE) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end || v < lo || v > hi) return false;
  *out = v;
  return true;
}

template <class T>
void ExchangeWhole(CDataExchange& dx, int id, T& value, long long lo, long long hi, const char* message) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id, true);
  if (!dx.IsSaving()) {
    ::SetWindowTextA(h, std::to_string(value).c_str());
    return;
  }
  long long v = 0;
  if (!ParseWhole(ControlText(h), lo, hi, &v)) {
    dx.Fail(message);
    return;
  }
  value = static_cast<T>(v);
}

template <class T>
void ValidateWhole(CDataExchange& dx, T value, T minimum, T maximum, const char* form) {
  if (dx.Failed() || !dx.IsSaving()) return;
  if (value >= minimum && value <= maximum) return;
  dx.Fail(std::string(form) + std::to_string(minimum) + " and " + std::to_string(maximum) + ".");
}

}  // namespace

HWND CDataExchange::PrepareControl(int id, bool isEdit) {
  lastControl_ = ::GetDlgItem(dialog_->GetSafeHwnd(), id);
  lastIsEdit_ = isEdit;
  return lastControl_;
}

void CDataExchange::Fail(const std::string& message) {
  failed_ = true;
  MessageBox(message, MB_OK | MB_ICONEXCLAMATION);
  if (lastControl_) {
    ::SetFocus(lastControl_);
    if (lastIsEdit_) ::SendMessageA(lastControl_, EM_SETSEL, 0, -1);
  }
}

void ExchangeText(CDataExchange& dx, int id, std::string& value) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id, true);
  if (dx.IsSaving())
    value = ControlText(h);
  else
    ::SetWindowTextA(h, value.c_str());
}

void ExchangeText(CDataExchange& dx, int id, int& value) {
  ExchangeWhole(dx, id, value, INT_MIN, INT_MAX, "Please enter an integer.");
}

void ExchangeText(CDataExchange& dx, int id, UINT& value) {
  ExchangeWhole(dx, id, value, 0, UINT_MAX, "Please enter a positive integer.");
}

void ExchangeText(CDataExchange& dx, int id, short& value) {
  ExchangeWhole(dx, id, value, SHRT_MIN, SHRT_MAX, "Please enter an integer between -32768 and 32767.");
}

void ExchangeCheck(CDataExchange& dx, int id, int& value) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id);
  if (dx.IsSaving())
    value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void ExchangeRadio(CDataExchange& dx, int id, int& value) {
  if (dx.Failed()) return;
  HWND first = dx.PrepareControl(id);
  if (!first) return;
  HWND parent = ::GetParent(first);
  if (dx.IsSaving()) value = -1;
  int index = 0;
  HWND h = first;
  do {
    if (dx.IsSaving()) {
      if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
    h = ::GetNextDlgGroupItem(parent, h, FALSE);
  } while (h && h != first && !(::GetWindowLongA(h, GWL_STYLE) & WS_GROUP));
}

void ExchangeComboIndex(CDataExchange& dx, int id, int& index) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id);
  if (dx.IsSaving())
    index = static_cast<int>(::SendMessageA(h, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ExchangeComboText(CDataExchange& dx, int id, std::string& text) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id);
  if (dx.IsSaving()) {
    text = ControlText(h);
    return;
  }
  LRESULT i = ::SendMessageA(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (i != CB_ERR)
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  else
    ::SetWindowTextA(h, text.c_str());
}

void ExchangeListIndex(CDataExchange& dx, int id, int& index) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id);
  if (dx.IsSaving())
    index = static_cast<int>(::SendMessageA(h, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ExchangeListText(CDataExchange& dx, int id, std::string& text) {
  if (dx.Failed()) return;
  HWND h = dx.PrepareControl(id);
  if (dx.IsSaving()) {
    LRESULT i = ::SendMessageA(h, LB_GETCURSEL, 0, 0);
    text.clear();
    if (i == LB_ERR) return;
    LRESULT n = ::SendMessageA(h, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == LB_ERR) return;
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    ::SendMessageA(h, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
    text = buf.data();
    return;
  }
  LRESULT i = ::SendMessageA(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageA(h, LB_SETCURSEL, i == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(i), 0);
}

void ValidateMaxChars(CDataExchange& dx, const std::string& value, int maxChars) {
  if (dx.Failed()) return;
  if (!dx.IsSaving()) {
    // The edit control refuses longer input from then on.
    if (dx.LastControl()) ::SendMessageA(dx.LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    return;
  }
  if (static_cast<int>(value.size()) > maxChars)
    dx.Fail("Please enter no more than " + std::to_string(maxChars) + " characters.");
}

void ValidateRange(CDataExchange& dx, int value, int minimum, int maximum) {
  ValidateWhole(dx, value, minimum, maximum, "Please enter an integer between ");
}

void ValidateRange(CDataExchange& dx, UINT value, UINT minimum, UINT maximum) {
  ValidateWhole(dx, value, minimum, maximum, "Please enter a positive integer between ");
}

void ValidateRange(CDataExchange& dx, short value, short minimum, short maximum) {
  ValidateWhole(dx, value, minimum, maximum, "Please enter an integer between ");
}

}  // namespace framework
