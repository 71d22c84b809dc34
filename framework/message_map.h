// Message maps: a static table of handler entries per class, chained to the
// base class's table. A window looks a message up in its own table first,
// then in each base's, so a derived entry overrides the base's entry for the
// same message or command and inherits every other one.
//
// Entries are made by the function templates below. Each takes the handler
// as a template argument and checks its signature at compile time, so a
// handler of the wrong shape does not build:
//
//   FRAMEWORK_BEGIN_MESSAGE_MAP(CMainFrame, framework::CFrameWindow)
//     framework::OnCommand<&CMainFrame::OnEventCount>(32792),
//     framework::OnUpdateUi<&CMainFrame::OnUpdateDay>(32886),
//     framework::OnMessage<&CMainFrame::OnMonthPicture>(WM_USER + 3000),
//   FRAMEWORK_END_MESSAGE_MAP()
//
// with FRAMEWORK_DECLARE_MESSAGE_MAP() in the class body.
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

namespace framework {

class CCmdTarget;
class CCmdUI;

// Reflected messages reach the child control's own map under this offset
// (kReflect + WM_CTLCOLOREDIT and so on).
constexpr UINT kReflect = 0x2000;

// What a handler entry is given and where it leaves its result.
struct MessageCall {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT id = 0;           // command, update-UI and notify entries
  CCmdUI* ui = nullptr;  // update-UI entries
  LRESULT result = 0;
  // A reflected CTLCOLOR handler that returns no brush leaves this false.
  bool handled = true;
};

using MessageThunk = void (*)(CCmdTarget& target, MessageCall& call);

enum class EntryKind : unsigned char { kEnd, kMessage, kRegistered, kCommand, kNotify, kUpdateUi };

struct MessageEntry {
  EntryKind kind = EntryKind::kEnd;
  UINT message = 0;               // kMessage
  const UINT* registered = nullptr;  // kRegistered: where the registered id lives
  UINT code = 0;                  // kCommand: notification code; kNotify: NMHDR code
  UINT first = 0, last = 0;       // id range (command, notify, update-UI)
  MessageThunk thunk = nullptr;
};

struct MessageMap {
  const MessageMap* (*base)();  // null at the root
  const MessageEntry* entries;  // ended by an entry of kind kEnd
};

namespace detail {
template <class F>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using Class = C;
};
template <auto F>
using ClassOf = typename MemberOf<decltype(F)>::Class;
template <auto F, class Sig>
constexpr bool kIs = std::is_same_v<decltype(F), Sig ClassOf<F>::*>;
}  // namespace detail

// void OnX() for menu, accelerator and toolbar command `id` (code 0 or 1).
template <auto F>
MessageEntry OnCommand(UINT id) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void()>, "command handler must be void OnX()");
  return {EntryKind::kCommand, WM_COMMAND, nullptr, 0, id, id,
          [](CCmdTarget& t, MessageCall&) { (static_cast<T&>(t).*F)(); }};
}

// void OnX(UINT id) for every command in [first, last].
template <auto F>
MessageEntry OnCommandRange(UINT first, UINT last) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(UINT)>, "command range handler must be void OnX(UINT)");
  return {EntryKind::kCommand, WM_COMMAND, nullptr, 0, first, last,
          [](CCmdTarget& t, MessageCall& c) { (static_cast<T&>(t).*F)(c.id); }};
}

// void OnX() for a control notification sent through WM_COMMAND
// (EN_CHANGE, BN_CLICKED ...).
template <auto F>
MessageEntry OnControl(UINT code, UINT id) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void()>, "control handler must be void OnX()");
  return {EntryKind::kCommand, WM_COMMAND, nullptr, code, id, id,
          [](CCmdTarget& t, MessageCall&) { (static_cast<T&>(t).*F)(); }};
}

// void OnUpdateX(CCmdUI*) deciding enable, check and text of `id`.
template <auto F>
MessageEntry OnUpdateUi(UINT id) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(CCmdUI*)>, "update handler must be void OnUpdateX(CCmdUI*)");
  return {EntryKind::kUpdateUi, 0, nullptr, 0, id, id,
          [](CCmdTarget& t, MessageCall& c) { (static_cast<T&>(t).*F)(c.ui); }};
}

template <auto F>
MessageEntry OnUpdateUiRange(UINT first, UINT last) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(CCmdUI*)>, "update handler must be void OnUpdateX(CCmdUI*)");
  return {EntryKind::kUpdateUi, 0, nullptr, 0, first, last,
          [](CCmdTarget& t, MessageCall& c) { (static_cast<T&>(t).*F)(c.ui); }};
}

// void OnX(NMHDR*, LRESULT*) for WM_NOTIFY `code` from control `id`.
template <auto F>
MessageEntry OnNotify(UINT code, UINT id) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(NMHDR*, LRESULT*)>, "notify handler must be void OnX(NMHDR*, LRESULT*)");
  return {EntryKind::kNotify, WM_NOTIFY, nullptr, code, id, id, [](CCmdTarget& t, MessageCall& c) {
            (static_cast<T&>(t).*F)(reinterpret_cast<NMHDR*>(c.lParam), &c.result);
          }};
}

// LRESULT OnX(WPARAM, LPARAM) for any message (WM_USER + n, WM_APP + n).
template <auto F>
MessageEntry OnMessage(UINT message) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, LRESULT(WPARAM, LPARAM)>, "message handler must be LRESULT OnX(WPARAM, LPARAM)");
  return {EntryKind::kMessage, message, nullptr, 0, 0, 0,
          [](CCmdTarget& t, MessageCall& c) { c.result = (static_cast<T&>(t).*F)(c.wParam, c.lParam); }};
}

// The same for a registered message; `message` is read at dispatch time.
template <auto F>
MessageEntry OnRegistered(const UINT& message) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, LRESULT(WPARAM, LPARAM)>, "message handler must be LRESULT OnX(WPARAM, LPARAM)");
  return {EntryKind::kRegistered, 0, &message, 0, 0, 0,
          [](CCmdTarget& t, MessageCall& c) { c.result = (static_cast<T&>(t).*F)(c.wParam, c.lParam); }};
}

// ---- Crackers of the standard messages the program handles.
template <auto F>
MessageEntry OnWmCopyData() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, BOOL(HWND, COPYDATASTRUCT*)>, "BOOL OnCopyData(HWND, COPYDATASTRUCT*)");
  return {EntryKind::kMessage, WM_COPYDATA, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            c.result = (static_cast<T&>(t).*F)(reinterpret_cast<HWND>(c.wParam),
                                                reinterpret_cast<COPYDATASTRUCT*>(c.lParam));
          }};
}

template <auto F>
MessageEntry OnWmLButtonDown() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(UINT, POINT)>, "void OnLButtonDown(UINT, POINT)");
  return {EntryKind::kMessage, WM_LBUTTONDOWN, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            POINT p{static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam))};
            (static_cast<T&>(t).*F)(static_cast<UINT>(c.wParam), p);
          }};
}

template <auto F>
MessageEntry OnWmEraseBkgnd() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, BOOL(HDC)>, "BOOL OnEraseBkgnd(HDC)");
  return {EntryKind::kMessage, WM_ERASEBKGND, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            c.result = (static_cast<T&>(t).*F)(reinterpret_cast<HDC>(c.wParam));
          }};
}

template <auto F>
MessageEntry OnWmActivate() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(UINT, HWND, BOOL)>, "void OnActivate(UINT, HWND, BOOL)");
  return {EntryKind::kMessage, WM_ACTIVATE, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            (static_cast<T&>(t).*F)(LOWORD(c.wParam), reinterpret_cast<HWND>(c.lParam), HIWORD(c.wParam) != 0);
          }};
}

template <auto F>
MessageEntry OnWmInitMenu() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(HMENU)>, "void OnInitMenu(HMENU)");
  return {EntryKind::kMessage, WM_INITMENU, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            (static_cast<T&>(t).*F)(reinterpret_cast<HMENU>(c.wParam));
          }};
}

// HBRUSH OnCtlColor(HDC, HWND, UINT ctlType) in the parent, for `message`.
template <auto F>
MessageEntry OnWmCtlColor(UINT message) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, HBRUSH(HDC, HWND)>, "HBRUSH OnCtlColor(HDC, HWND)");
  return {EntryKind::kMessage, message, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            HBRUSH b = (static_cast<T&>(t).*F)(reinterpret_cast<HDC>(c.wParam), reinterpret_cast<HWND>(c.lParam));
            c.result = reinterpret_cast<LRESULT>(b);
            c.handled = b != nullptr;
          }};
}

// ---- Reflected to the control itself before its parent sees them.
template <auto F>
MessageEntry OnReflectCtlColor(UINT message) {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, HBRUSH(HDC)>, "reflected HBRUSH CtlColor(HDC)");
  return {EntryKind::kMessage, kReflect + message, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            HBRUSH b = (static_cast<T&>(t).*F)(reinterpret_cast<HDC>(c.wParam));
            c.result = reinterpret_cast<LRESULT>(b);
            c.handled = b != nullptr;
          }};
}

template <auto F>
MessageEntry OnReflectDrawItem() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(DRAWITEMSTRUCT*)>, "reflected void DrawItem(DRAWITEMSTRUCT*)");
  return {EntryKind::kMessage, kReflect + WM_DRAWITEM, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            (static_cast<T&>(t).*F)(reinterpret_cast<DRAWITEMSTRUCT*>(c.lParam));
            c.result = TRUE;
          }};
}

template <auto F>
MessageEntry OnReflectMeasureItem() {
  using T = detail::ClassOf<F>;
  static_assert(detail::kIs<F, void(MEASUREITEMSTRUCT*)>, "reflected void MeasureItem(MEASUREITEMSTRUCT*)");
  return {EntryKind::kMessage, kReflect + WM_MEASUREITEM, nullptr, 0, 0, 0, [](CCmdTarget& t, MessageCall& c) {
            (static_cast<T&>(t).*F)(reinterpret_cast<MEASUREITEMSTRUCT*>(c.lParam));
            c.result = TRUE;
          }};
}

}  // namespace framework

// In the class body: the class's own table and the virtual that finds it.
#define FRAMEWORK_DECLARE_MESSAGE_MAP()                          \
 public:                                                         \
  static const ::framework::MessageMap* ThisMessageMap();        \
  const ::framework::MessageMap* GetMessageMap() const override { \
    return ThisMessageMap();                                     \
  }

// In the source file: the entries, comma-separated, between these two.
#define FRAMEWORK_BEGIN_MESSAGE_MAP(Class, Base)                                    \
  const ::framework::MessageMap* Class::ThisMessageMap() {                          \
    static const ::framework::MessageMap* (*const base_)() = &Base::ThisMessageMap; \
    static const ::framework::MessageEntry entries_[] = {
#define FRAMEWORK_END_MESSAGE_MAP()                      \
  ::framework::MessageEntry{}                            \
  }                                                      \
  ;                                                      \
  static const ::framework::MessageMap map_{base_, entries_}; \
  return &map_;                                          \
  }
