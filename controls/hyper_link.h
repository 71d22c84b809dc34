// CHyperLink: a static text that opens its link target when clicked (or
// on Space): coloured as a link (visited, active, hover), with the hand
// cursor, a tooltip showing the target and, by default, underlined and
// sized to its text. Bind it to a dialog's static by SubclassDlgItem, then
// call Init. A failed open beeps and says why in a box.
#pragma once

#include <string>

#include "framework/controls/simple_controls.h"

namespace shellcontrols {

class CHyperLink : public framework::CStatic {
 public:
  enum : DWORD {
    kUnderline = 0x1, kUseHover = 0x2, kAutoSize = 0x4, kOpenOnDown = 0x8, kFocusOnClick = 0x10,
    kNoHandCursor = 0x20, kNoActiveColor = 0x40
  };
  static constexpr COLORREF kLinkColor = 0xFF0000, kVisitedColor = 0x808000, kActiveColor = 0x800080,
                            kHoverColor = 0x0000FF;

  ~CHyperLink() override;

  // After subclassing: an empty target takes the window text, an empty
  // text shows the target; the font, size, cursor and tooltip are set up.
  void Init();
  void SetLinkTarget(const std::string& target);
  const std::string& GetLinkTarget() const { return target_; }
  // Clears then sets style bits; false (nothing changed) when a bit is in
  // both masks.
  bool SetLinkStyle(DWORD clear, DWORD set, bool redraw = true);
  DWORD GetLinkStyle() const { return style_; }
  bool IsVisited() const { return visited_; }
  // The colour the text is drawn in now.
  COLORREF CurrentColor() const;

  bool PreTranslateMessage(MSG& msg) override;

  FRAMEWORK_DECLARE_MESSAGE_MAP()

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HBRUSH CtlColor(HDC dc);
  void Open();
  void MakeFont();
  void SizeToText();
  void UpdateTip();

  std::string target_;
  DWORD style_ = kUnderline | kAutoSize | kFocusOnClick;
  bool over_ = false, focused_ = false, pressed_ = false, visited_ = false;
  HFONT font_ = nullptr;
  HWND tip_ = nullptr;
};

}  // namespace shellcontrols
