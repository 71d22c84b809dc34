#include "storage/calendar_list.h"

#include <algorithm>
#include <cctype>

#include "platform/paths.h"
#include "storage/calendar_file.h"
#include "storage/services/storage_services.h"

CCalendarList::~CCalendarList() { DeleteAll(); }

int CCalendarList::AddCalendar(CCalendarFile* calendar) {
  calendar->listId = nextId++;
  items_.push_back(calendar);
  if (defaultId == -1 && calendar->fileType != CCalendarFile::kMemoryOnly) defaultId = calendar->listId;
  UpdateMainWindowTitle();
  return calendar->listId;
}

bool CCalendarList::RemoveById(int id) {
  auto it = std::find_if(items_.begin(), items_.end(), [id](CCalendarFile* c) { return c->listId == id; });
  if (it == items_.end()) return false;
  items_.erase(it);
  if (defaultId == id) {
    CCalendarFile* first = FindByFileType(CCalendarFile::kOrdinaryFile);
    defaultId = first ? first->listId : -1;
  }
  UpdateMainWindowTitle();
  return true;
}

CCalendarFile* CCalendarList::FindById(int id) const {
  for (CCalendarFile* c : items_)
    if (c->listId == id) return c;
  return nullptr;
}

CCalendarFile* CCalendarList::FindByFileType(int type) const {
  for (CCalendarFile* c : items_)
    if (c->fileType == type) return c;
  return nullptr;
}

int CCalendarList::CountByFileType(int type) const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [type](CCalendarFile* c) { return c->fileType == type; }));
}

CCalendarFile* CCalendarList::GetDefaultCalendar() const {
  if (items_.empty()) return nullptr;
  if (defaultId == -1) return FindByFileType(CCalendarFile::kOrdinaryFile);
  return FindById(defaultId);
}

namespace {

std::string Comparable(const std::string& path) {
  std::string full = platform::FullPath(path);
  for (char& c : full) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return full;
}

}  // namespace

CCalendarFile* CCalendarList::FindByPath(const std::string& path) const {
  const std::string wanted = Comparable(path);
  for (CCalendarFile* c : items_)
    if (!c->path.empty() && Comparable(c->path) == wanted) return c;
  return nullptr;
}

CCalendarFile* CCalendarList::FindByName(const std::string& name) const {
  for (CCalendarFile* c : items_)
    if (c->name == name) return c;
  return nullptr;
}

CCalendarFile* CCalendarList::FindBySubscriptionAddress(const std::string& address) const {
  for (CCalendarFile* c : items_)
    if (c->address == address) return c;
  return nullptr;
}

bool CCalendarList::HasNonPreviewCalendar() const {
  return std::any_of(items_.begin(), items_.end(), [](CCalendarFile* c) { return c->openState != CCalendarFile::kPreview; });
}

bool CCalendarList::HasWritableCalendar() const {
  return std::any_of(items_.begin(), items_.end(), [](CCalendarFile* c) { return c->IsWritable(); });
}

int CCalendarList::CountSelectableCalendars() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](CCalendarFile* c) { return c->CanReceiveNewEvents(); }));
}

void CCalendarList::DeleteAll() {
  for (CCalendarFile* c : items_) delete c;
  items_.clear();
  defaultId = -1;
}

std::string CCalendarList::MainWindowTitle() const {
  std::string defaultPart;
  std::string others;
  bool any = false;
  for (CCalendarFile* c : items_) {
    if (c->openState != CCalendarFile::kOpen && c->openState != CCalendarFile::kPreview) continue;
    any = true;
    if (c->listId == defaultId) {
      defaultPart = c->name + " (Default)";
    } else {
      if (!others.empty()) others += "  |  ";
      others += c->name;
    }
  }
  if (!any) return "Almacora - no event file open";
  std::string title = "Almacora - " + defaultPart;
  if (!defaultPart.empty() && !others.empty()) title += "  |  ";
  title += others;
  if (previewMode) title += " - (Preview Mode)";
  return title;
}

void CCalendarList::UpdateMainWindowTitle() const {
  if (IStorageShell* shell = GetStorageServices().shell) shell->SetMainWindowTitle(MainWindowTitle());
}
