// CCmdTarget: anything that can own a message map and take part in command
// routing (windows, documents, the application).
//
// OnCmdMsg is the one routing call. Its `code` says what is asked:
//   0..0xFFFF     a WM_COMMAND with that notification code: run the handler
//                 (menus send 0, accelerators 1; both find command entries);
//   kCmdUpdateUi  run the update-UI handler of `id` with `ui`;
//   kCmdProbe     only tell whether a command handler for `id` exists.
// It answers true when a handler was found (and run). Frames, views and
// documents override it to pass the call along the route
// frame -> active view -> document -> frame -> application.
#pragma once

#include "framework/message_map.h"

namespace framework {

constexpr int kCmdUpdateUi = -1;
constexpr int kCmdProbe = -2;

class CCmdTarget {
 public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  static const MessageMap* ThisMessageMap();
  virtual const MessageMap* GetMessageMap() const { return ThisMessageMap(); }

  virtual bool OnCmdMsg(UINT id, int code, CCmdUI* ui);

 protected:
  // Looks the command up in this object's own map chain only.
  bool DispatchCommand(UINT id, int code, CCmdUI* ui);
  // The first entry for a window message, a WM_NOTIFY (code, id) or null.
  const MessageEntry* FindMessageEntry(UINT message) const;
  const MessageEntry* FindNotifyEntry(UINT code, UINT id) const;
};

}  // namespace framework
