// Day views: the frame's event operations as the day views' IEventCommands.
#include "model/events/cal_event.h"
#include "shell/commands/event_commands.h"
#include "shell/frame/main_frame.h"

namespace {

class CFrameEventCommands : public IEventCommands {
 public:
  void AddEventRange(const CDateTime& start, const CDateTime* end) override {
    if (CMainFrame* f = CMainFrame::Get()) f->AddEventRange(&start, end);
  }
  void AddAllDayEvent(const CDateTime& day) override {
    if (CMainFrame* f = CMainFrame::Get()) f->AddAllDayEvent(day);
  }
  void AddEventOnDate(const CDateTime& day) override {
    if (CMainFrame* f = CMainFrame::Get()) f->AddEventOnDate(&day);
  }
  void AddCopy(CCalEvent& event) override {
    if (CMainFrame* f = CMainFrame::Get()) f->AddCopy(event);
  }
  void ModifyEvent(const COccurrenceRef& ref) override {
    if (CMainFrame* f = CMainFrame::Get()) f->ModifyEvent(ref);
  }
  void DeleteEvent(const COccurrenceRef& ref) override {
    if (CMainFrame* f = CMainFrame::Get()) f->DeleteEvent(ref);
  }
  bool ConfirmAcknowledge(bool oneTime) override {
    CMainFrame* f = CMainFrame::Get();
    return f && f->ConfirmAcknowledge(oneTime ? TRUE : FALSE) != FALSE;
  }
  void PrintEvent(const COccurrenceRef& ref) override {
    if (CMainFrame* f = CMainFrame::Get()) f->PrintEvent(ref);
  }
  void ExportEvent(const COccurrenceRef& ref) override {
    if (CMainFrame* f = CMainFrame::Get()) f->ExportEvent(ref);
  }
  void ShowDetails(const COccurrenceRef& ref) override {
    if (CMainFrame* f = CMainFrame::Get()) f->ShowEventDetails(ref);
  }
};

}  // namespace

IEventCommands* FrameEventCommands() {
  static CFrameEventCommands commands;
  return CMainFrame::Get() ? &commands : nullptr;
}
