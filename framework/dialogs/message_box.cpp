#include "framework/dialogs/message_box.h"

#include "framework/application.h"

namespace framework {

namespace {
std::string& Title() {
  static std::string title;
  return title;
}
}  // namespace

void SetMessageBoxTitle(const std::string& title) { Title() = title; }
const std::string& GetMessageBoxTitle() { return Title(); }

int MessageBox(const std::string& text, UINT type, const std::string& caption) {
  HWND owner = nullptr;
  CApplication* app = TheApp();
  if (app && app->GetMainWindow() && ::IsWindow(app->GetMainWindow()))
    owner = ::GetLastActivePopup(app->GetMainWindow());
  // A hidden owner would hide the box's task-bar presence; go without.
  if (owner && !::IsWindowVisible(owner)) owner = nullptr;
  const std::string& title = caption.empty() ? Title() : caption;
  return ::MessageBoxA(owner, text.c_str(), title.c_str(), type);
}

}  // namespace framework
