#include "grid/cell/grid_cell.h"

#include <cstdio>
#include <cstdlib>
#include <new>

CGridCell::CGridCell(const CGridCell& other) { CopyFrom(other); }

CGridCell& CGridCell::operator=(const CGridCell& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

void CGridCell::Clear() {
  mask_ = 0;
  text_.clear();
  FreeUserData();
}

void CGridCell::CopyFrom(const CGridCell& other) {
  if (this == &other) return;
  // Exactly the source's properties count as set afterwards; a block this
  // cell held but the source does not is released, not left dangling.
  if (!other.HasProperty(kUserData)) FreeUserData();
  mask_ = other.mask_;
  MergeFrom(other);
}

void CGridCell::MergeFrom(const CGridCell& o) {
  if (this == &o) return;
  const std::uint32_t m = o.mask_;
  if (m & kText) text_ = o.text_;
  if (m & kLabel) label_ = o.label_;
  if (m & kDataType) dataType_ = o.dataType_;
  if (m & kReadOnly) readOnly_ = o.readOnly_;
  if (m & kDecimals) decimals_ = o.decimals_;
  if (m & kCellType) cellType_ = o.cellType_;
  if (m & kCellTypeStyle) cellTypeStyle_ = o.cellTypeStyle_;
  if (m & kTextColor) textColor_ = o.textColor_;
  if (m & kBackColor) backColor_ = o.backColor_;
  if (m & kSelTextColor) selTextColor_ = o.selTextColor_;
  if (m & kSelBackColor) selBackColor_ = o.selBackColor_;
  if (m & kBorder) border_ = o.border_;
  if (m & kBorderPen) borderPen_ = o.borderPen_;
  if (m & kFont) font_ = o.font_;
  if (m & kBitmap) bitmap_ = o.bitmap_;
  if (m & kAlignment) alignment_ = o.alignment_;
  if (m & kJoin) {
    joinOrigin_ = o.joinOrigin_;
    joinCol_ = o.joinCol_;
    joinRow_ = o.joinRow_;
  }
  if (m & kCallback) callback_ = o.callback_;
  if (m & kLinked) linked_ = o.linked_;
  mask_ |= m & ~kUserData;
  if (m & kUserData) CopyUserData(o);
}

void CGridCell::CopyUserData(const CGridCell& o) {
  FreeUserData();
  if (void* p = AllocUserData(o.userSize_)) {
    if (o.userSize_) std::memcpy(p, o.userData_.get(), o.userSize_);
  }
}

int CGridCell::SetText(const std::string& text) {
  text_ = text;
  mask_ |= kText;
  return SetDataType(1);
}

int CGridCell::GetText(std::string* text) const {
  if (!HasProperty(kText)) return 1;
  if (text) *text = text_;
  return 0;
}

int CGridCell::SetLabel(const std::string& label) { return Set(kLabel, label_, label); }

int CGridCell::GetLabel(std::string* label) const {
  if (!HasProperty(kLabel)) return 1;
  if (label) *label = label_;
  return 0;
}

int CGridCell::SetNumber(double value) {
  char buf[512];
  const int places = GetDecimalPlaces();
  if (places >= 0) {
    char format[32];
    std::snprintf(format, sizeof format, "%%1.%dlf", places > 60 ? 60 : places);
    std::snprintf(buf, sizeof buf, format, value);
  } else {
    std::snprintf(buf, sizeof buf, "%lf", value);
  }
  text_ = buf;
  mask_ |= kText;
  return SetDataType(2);
}

double CGridCell::GetNumber() const { return GetTextLength() ? std::strtod(text_.c_str(), nullptr) : 0.0; }

int CGridCell::GetNumberInt(int* value) const {
  if (!GetTextLength()) return 1;
  if (value) *value = std::atoi(text_.c_str());
  return 0;
}

bool CGridCell::GetBool() const {
  if (!GetTextLength()) return false;
  if (text_[0] == 'T' || text_[0] == 't') return true;
  return std::atoi(text_.c_str()) != 0;
}

COLORREF CGridCell::GetTextColor() const { return HasProperty(kTextColor) ? textColor_ : ::GetSysColor(COLOR_WINDOWTEXT); }
COLORREF CGridCell::GetBackColor() const { return HasProperty(kBackColor) ? backColor_ : ::GetSysColor(COLOR_WINDOW); }
COLORREF CGridCell::GetSelectedTextColor() const {
  return HasProperty(kSelTextColor) ? selTextColor_ : ::GetSysColor(COLOR_HIGHLIGHTTEXT);
}
COLORREF CGridCell::GetSelectedBackColor() const {
  return HasProperty(kSelBackColor) ? selBackColor_ : ::GetSysColor(COLOR_HIGHLIGHT);
}

int CGridCell::SetJoin(int origin, int col, int row) {
  joinOrigin_ = origin;
  joinCol_ = col;
  joinRow_ = row;
  mask_ |= kJoin;
  return 0;
}

int CGridCell::GetJoin(int* origin, int* col, int* row) const {
  if (!HasProperty(kJoin)) return 1;
  if (origin) *origin = joinOrigin_;
  if (col) *col = joinCol_;
  if (row) *row = joinRow_;
  return 0;
}

void* CGridCell::AllocUserData(std::size_t size) {
  FreeUserData();
  userData_.reset(new (std::nothrow) unsigned char[size ? size : 1]());
  if (!userData_) return nullptr;
  userSize_ = size;
  mask_ |= kUserData;
  return userData_.get();
}

void CGridCell::FreeUserData() {
  userData_.reset();
  userSize_ = 0;
  mask_ &= ~kUserData;
}
