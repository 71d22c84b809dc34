// CGridCell: the property set through which every cell travels between a
// grid, its data sources and its cell types. Only the properties whose bit
// is in the mask count as set; a getter of an unset property answers the
// default listed beside its bit.
//
// Text and label are owned strings; the user-data block is owned and
// duplicated whenever the cell is copied; pens, fonts, bitmaps, the callback
// object and the linked cell are referenced, never owned.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

class CGridCell;

// Fills a cell after every read by the grid (mask bit kCallback).
class CGridCellCallback {
 public:
  virtual ~CGridCellCallback() = default;
  virtual void ReadCell(CGridCell& cell) = 0;
};

class CGridCell {
 public:
  enum : std::uint32_t {
    kText = 0x1,               // empty
    kLabel = 0x4,              // empty
    kDataType = 0x8,           // 1 (text)
    kCellType = 0x20,          // 0 (the normal type)
    kCellTypeStyle = 0x40,     // 0
    kTextColor = 0x80,         // COLOR_WINDOWTEXT
    kBackColor = 0x100,        // COLOR_WINDOW
    kSelTextColor = 0x200,     // COLOR_HIGHLIGHTTEXT
    kSelBackColor = 0x400,     // COLOR_HIGHLIGHT
    kBorder = 0x800,           // 0
    kBorderPen = 0x1000,       // null: the sheet's grid-line pen
    kFont = 0x2000,            // null: the sheet's font
    kBitmap = 0x4000,          // null
    kAlignment = 0x8000,       // 0: left, top
    kUserData = 0x10000,       // no block
    kJoin = 0x20000,           // not joined
    kCallback = 0x200000,      // none
    kLinked = 0x800000,        // none
    kReadOnly = 0x1000000,     // 0
    kDecimals = 0x2000000,     // unset
  };
  // Alignment bits.
  enum : std::uint16_t { kAlignRight = 0x2, kAlignCenter = 0x4, kAlignBottom = 0x10, kAlignMiddle = 0x20 };

  CGridCell() = default;
  virtual ~CGridCell() = default;
  // Copies hold their own duplicate of the user-data block.
  CGridCell(const CGridCell& other);
  CGridCell& operator=(const CGridCell& other);

  std::uint32_t GetMask() const { return mask_; }
  void SetMask(std::uint32_t mask) { mask_ = mask; }
  bool HasProperty(std::uint32_t bits) const { return (mask_ & bits) != 0; }
  // Mask 0, text emptied, user data freed.
  void Clear();

  // Copy and merge: every property set in the source replaces the
  // destination's and the destination's mask gains the source's bits; the
  // Copy forms first give the destination exactly the source's mask.
  void CopyTo(CGridCell& other) const { other.CopyFrom(*this); }
  void CopyFrom(const CGridCell& other);
  void MergeTo(CGridCell& other) const { other.MergeFrom(*this); }
  void MergeFrom(const CGridCell& other);

  // Text; SetText also sets data type 1. GetText answers 1 when unset.
  int SetText(const std::string& text);
  int GetText(std::string* text) const;
  const char* GetTextPtr() const { return HasProperty(kText) ? text_.c_str() : nullptr; }
  std::size_t GetTextLength() const { return HasProperty(kText) ? text_.size() : 0; }
  int SetLabel(const std::string& label);
  int GetLabel(std::string* label) const;
  const char* GetLabelPtr() const { return HasProperty(kLabel) ? label_.c_str() : nullptr; }

  // Numbers are stored as text: "%lf", or with the decimal places when they
  // are set and not negative; data type 2.
  int SetNumber(double value);
  double GetNumber() const;               // strtod of the text, 0 without text
  int GetNumberInt(int* value) const;     // atoi of the text; 1 without text
  // False for an empty text; true when it starts with T or t or reads as a
  // non-zero integer.
  bool GetBool() const;

  int SetDataType(short type) { return Set(kDataType, dataType_, type); }
  short GetDataType() const { return HasProperty(kDataType) ? dataType_ : 1; }
  int SetReadOnly(int flag) { return Set(kReadOnly, readOnly_, flag); }
  int GetReadOnly() const { return HasProperty(kReadOnly) ? readOnly_ : 0; }
  int SetDecimalPlaces(int places) { return Set(kDecimals, decimals_, places); }
  // -1 when unset.
  int GetDecimalPlaces() const { return HasProperty(kDecimals) ? decimals_ : -1; }
  int SetCellType(int index) { return Set(kCellType, cellType_, index); }
  int GetCellType() const { return HasProperty(kCellType) ? cellType_ : 0; }
  int SetCellTypeStyle(int style) { return Set(kCellTypeStyle, cellTypeStyle_, style); }
  int GetCellTypeStyle() const { return HasProperty(kCellTypeStyle) ? cellTypeStyle_ : 0; }

  int SetTextColor(COLORREF c) { return Set(kTextColor, textColor_, c); }
  COLORREF GetTextColor() const;
  int SetBackColor(COLORREF c) { return Set(kBackColor, backColor_, c); }
  COLORREF GetBackColor() const;
  int SetSelectedTextColor(COLORREF c) { return Set(kSelTextColor, selTextColor_, c); }
  COLORREF GetSelectedTextColor() const;
  int SetSelectedBackColor(COLORREF c) { return Set(kSelBackColor, selBackColor_, c); }
  COLORREF GetSelectedBackColor() const;

  int SetBorder(std::uint16_t style) { return Set(kBorder, border_, style); }
  std::uint16_t GetBorder() const { return HasProperty(kBorder) ? border_ : 0; }
  int SetBorderObject(HPEN pen) { return Set(kBorderPen, borderPen_, pen); }
  HPEN GetBorderObject() const { return HasProperty(kBorderPen) ? borderPen_ : nullptr; }
  int SetFont(HFONT font) { return Set(kFont, font_, font); }
  HFONT GetFont() const { return HasProperty(kFont) ? font_ : nullptr; }
  int SetBitmap(HBITMAP bitmap) { return Set(kBitmap, bitmap_, bitmap); }
  HBITMAP GetBitmap() const { return HasProperty(kBitmap) ? bitmap_ : nullptr; }
  int SetAlignment(std::uint16_t flags) { return Set(kAlignment, alignment_, flags); }
  std::uint16_t GetAlignment() const { return HasProperty(kAlignment) ? alignment_ : 0; }

  // Join: origin flag 1 with (width - 1, height - 1) for a block's top-left
  // cell; 0 with the non-positive offsets to it for the others. GetJoin
  // answers 1 when unset.
  int SetJoin(int origin, int col, int row);
  int GetJoin(int* origin, int* col, int* row) const;

  int SetCallback(CGridCellCallback* callback) { return Set(kCallback, callback_, callback); }
  CGridCellCallback* GetCallback() const { return HasProperty(kCallback) ? callback_ : nullptr; }
  int SetLinkedCell(const CGridCell* cell) { return Set(kLinked, linked_, cell); }
  const CGridCell* GetLinkedCell() const { return HasProperty(kLinked) ? linked_ : nullptr; }

  // User data: AllocUserData frees a previous block and answers a new one
  // of size bytes (null, bit clear, when memory is exhausted).
  void* AllocUserData(std::size_t size);
  void FreeUserData();
  void* GetUserData() const { return HasProperty(kUserData) ? userData_.get() : nullptr; }
  std::size_t GetUserDataSize() const { return HasProperty(kUserData) ? userSize_ : 0; }

  // Typed access for plain values: blocks are copied byte for byte, so only
  // trivially copyable types may live there. GetUserValue answers false
  // when no block of exactly that size is set.
  template <class T>
  bool SetUserValue(const T& value) {
    static_assert(std::is_trivially_copyable<T>::value, "user data is copied as bytes");
    void* p = AllocUserData(sizeof(T));
    if (!p) return false;
    std::memcpy(p, &value, sizeof(T));
    return true;
  }
  template <class T>
  bool GetUserValue(T* value) const {
    static_assert(std::is_trivially_copyable<T>::value, "user data is copied as bytes");
    if (GetUserDataSize() != sizeof(T)) return false;
    std::memcpy(value, userData_.get(), sizeof(T));
    return true;
  }

 private:
  template <class M, class V>
  int Set(std::uint32_t bit, M& member, V value) {
    member = value;
    mask_ |= bit;
    return 0;
  }
  void CopyUserData(const CGridCell& other);

  std::uint32_t mask_ = 0;
  CGridCellCallback* callback_ = nullptr;
  const CGridCell* linked_ = nullptr;
  std::string text_;
  std::string label_;
  short dataType_ = 1;
  int readOnly_ = 0;
  int decimals_ = -1;
  int cellType_ = 0;
  int cellTypeStyle_ = 0;
  COLORREF textColor_ = 0;
  COLORREF backColor_ = 0;
  COLORREF selTextColor_ = 0;
  COLORREF selBackColor_ = 0;
  std::uint16_t border_ = 0;
  HPEN borderPen_ = nullptr;
  HFONT font_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  std::uint16_t alignment_ = 0;
  std::unique_ptr<unsigned char[]> userData_;
  std::size_t userSize_ = 0;
  int joinOrigin_ = 0, joinCol_ = 0, joinRow_ = 0;
};
