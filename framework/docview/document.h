// CDocument: the data behind the views. It knows its views in the order
// they were added and tells them of changes through UpdateAllViews.
#pragma once

#include <string>
#include <vector>

#include "framework/cmd_target.h"

namespace framework {

class CView;

class CDocument : public CCmdTarget {
 public:
  ~CDocument() override;

  // Called by File New after the frame and its views exist; false cancels.
  virtual bool OnNewDocument() { return true; }

  // Calls OnUpdate(sender, hint, object) on every view in creation order
  // but the sender. A view may update again from its OnUpdate (nested
  // calls run to completion first); views removed meanwhile are skipped.
  void UpdateAllViews(CView* sender, LPARAM hint = 0, void* object = nullptr);

  void AddView(CView* view);
  void RemoveView(CView* view);
  const std::vector<CView*>& GetViews() const { return views_; }

  const std::string& GetTitle() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

 private:
  std::vector<CView*> views_;
  std::string title_;
};

}  // namespace framework
