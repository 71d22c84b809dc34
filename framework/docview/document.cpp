#include "framework/docview/document.h"

#include <algorithm>

#include "framework/docview/view.h"

namespace framework {

CDocument::~CDocument() {
  for (CView* v : views_) v->document_ = nullptr;
}

void CDocument::AddView(CView* view) {
  if (!view || std::find(views_.begin(), views_.end(), view) != views_.end()) return;
  views_.push_back(view);
  view->document_ = this;
}

void CDocument::RemoveView(CView* view) {
  auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  view->document_ = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, void* object) {
  // A copy: OnUpdate may add, remove or update views itself.
  const std::vector<CView*> views = views_;
  for (CView* v : views) {
    if (v == sender) continue;
    if (std::find(views_.begin(), views_.end(), v) == views_.end()) continue;
    v->OnUpdate(sender, hint, object);
  }
}

}  // namespace framework
