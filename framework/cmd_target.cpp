#include "framework/cmd_target.h"

namespace framework {

const MessageMap* CCmdTarget::ThisMessageMap() {
  static const MessageEntry entries[] = {MessageEntry{}};
  static const MessageMap map{nullptr, entries};
  return &map;
}

bool CCmdTarget::OnCmdMsg(UINT id, int code, CCmdUI* ui) { return DispatchCommand(id, code, ui); }

namespace {

// One pass over the map chain for command entries of notification `wanted`
// (or update entries); true when one ran (or, probing, exists).
bool DispatchCode(CCmdTarget& target, UINT id, int code, UINT wanted, CCmdUI* ui) {
  EntryKind kind = code == kCmdUpdateUi ? EntryKind::kUpdateUi : EntryKind::kCommand;
  for (const MessageMap* map = target.GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const MessageEntry* e = map->entries; e->kind != EntryKind::kEnd; ++e) {
      if (e->kind != kind || id < e->first || id > e->last) continue;
      if (kind == EntryKind::kCommand && e->code != wanted) continue;
      if (code == kCmdProbe) return true;
      MessageCall call;
      call.message = WM_COMMAND;
      call.id = id;
      call.ui = ui;
      e->thunk(target, call);
      return true;
    }
  }
  return false;
}

}  // namespace

bool CCmdTarget::DispatchCommand(UINT id, int code, CCmdUI* ui) {
  // Code 1 is both an accelerator (meaning the same as a menu choice) and
  // a control's notification 1 (LBN_SELCHANGE, CBN_SELCHANGE): an entry
  // for notification 1 takes it first, else the command entry does.
  if (code == 1 && DispatchCode(*this, id, 1, 1, ui)) return true;
  UINT wanted = (code == 1 || code == kCmdProbe) ? 0 : static_cast<UINT>(code);
  return DispatchCode(*this, id, code, wanted, ui);
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
