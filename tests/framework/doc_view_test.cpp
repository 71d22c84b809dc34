// UpdateAllViews: creation order, the sender skipped, nested updates run
// to completion, views removed meanwhile skipped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/docview/document.h"
#include "framework/docview/view.h"

namespace {

std::vector<std::string> g_log;

class ChainView : public framework::CView {
 public:
  ChainView(const char* name, framework::CDocument* doc) : name_(name), doc_(doc) {}
  // On `on` this view sends `send` as the sender; on `drop` it removes `victim`.
  LPARAM on = -1, send = -1, drop = -1;
  framework::CView* victim = nullptr;
  void OnUpdate(framework::CView*, LPARAM hint, void*) override {
    g_log.push_back(name_ + std::to_string(hint));
    if (hint == on) doc_->UpdateAllViews(this, send);
    if (hint == drop) doc_->RemoveView(victim);
  }

 private:
  std::string name_;
  framework::CDocument* doc_;
};

}  // namespace

TEST(UpdateAllViews, OrderSenderAndNesting) {
  struct Case {
    const char* name;
    int sender;  // index of the sending view, -1 none
    LPARAM hint;
    bool chain;  // A: 3 -> 17, B: 17 -> 2
    bool dropC;  // A removes C on the hint
    std::vector<std::string> log;
  } cases[] = {
      {"all", -1, 5, false, false, {"A5", "B5", "C5"}},
      {"sender skipped", 1, 5, false, false, {"A5", "C5"}},
      {"nested 3-17-2", -1, 3, true, false, {"A3", "B17", "A2", "C2", "C17", "B3", "C3"}},
      {"removed meanwhile", -1, 5, false, true, {"A5", "B5"}},
  };
  for (const Case& c : cases) {
    framework::CDocument doc;
    ChainView a("A", &doc), b("B", &doc), cv("C", &doc);
    for (ChainView* v : {&a, &b, &cv}) doc.AddView(v);
    if (c.chain) {
      a.on = 3, a.send = 17;
      b.on = 17, b.send = 2;
    }
    if (c.dropC) a.drop = c.hint, a.victim = &cv;
    ChainView* views[] = {&a, &b, &cv};
    g_log.clear();
    doc.UpdateAllViews(c.sender >= 0 ? views[c.sender] : nullptr, c.hint);
    EXPECT_EQ(g_log, c.log) << c.name;
  }
}
