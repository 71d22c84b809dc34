#include "framework/cmd_target.h"

namespace framework {

const MessageMap* CCmdTarget::ThisMessageMap() {
  static const MessageEntry entries[] = {MessageEntry{}};
  static const MessageMap map{nullptr, entries};
  return &map;
}

bool CCmdTarget::OnCmdMsg(UINT id, int code, CCmdUI* ui) { return DispatchCommand(id, code, ui); }

bool CCmdTarget::DispatchCommand(UINT id, int code, CCmdUI* ui) {
  // Accelerators arrive with code 1 and mean the same as a menu choice.
  UINT wanted = (code == 1) ? 0 : static_cast<UINT>(code);
  EntryKind kind = code == kCmdUpdateUi ? EntryKind::kUpdateUi : EntryKind::kCommand;
  if (code == kCmdProbe) wanted = 0;
  for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const MessageEntry* e = map->entries; e->kind != EntryKind::kEnd; ++e) {
      if (e->kind != kind || id < e->first || id > e->last) continue;
      if (kind == EntryKind::kCommand && e->code != wanted) continue;
      if (code == kCmdProbe) return true;
      MessageCall call;
      call.message = WM_COMMAND;
      call.id = id;
      call.ui = ui;
      e->thunk(*this, call);
      return true;
    }
  }
  return false;
}

const MessageEntry* CCmdTarget::FindMessageEntry(UINT message) const {
  for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const MessageEntry* e = map->entries; e->kind != EntryKind::kEnd; ++e) {
      if (e->kind == EntryKind::kMessage && e->message == message) return e;
      if (e->kind == EntryKind::kRegistered && *e->registered != 0 && *e->registered == message) return e;
    }
  }
  return nullptr;
}

const MessageEntry* CCmdTarget::FindNotifyEntry(UINT code, UINT id) const {
  for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const MessageEntry* e = map->entries; e->kind != EntryKind::kEnd; ++e) {
      if (e->kind == EntryKind::kNotify && e->code == code && id >= e->first && id <= e->last) return e;
    }
  }
  return nullptr;
}

}  // namespace framework
