// Dialog data exchange: moving values between a dialog's controls and its
// members, with validation. DoDataExchange calls the Exchange... and
// Validate... functions below in control order; once one fails, the rest
// do nothing. A failure while saving shows the reason in a message box,
// selects the control and leaves the dialog open.
//
// Validation runs only in the saving direction; ValidateMaxChars also
// limits the edit control when loading.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool save) : dialog_(dialog), save_(save) {}
  bool IsSaving() const { return save_; }
  bool Failed() const { return failed_; }
  CDialog* GetDialog() const { return dialog_; }
  // The control `id`, remembered as the one a failure selects.
  HWND PrepareControl(int id, bool isEdit = false);
  HWND LastControl() const { return lastControl_; }
  // Tells the user, selects the last prepared control, stops the exchange.
  void Fail(const std::string& message);

 private:
  CDialog* dialog_;
  bool save_;
  bool failed_ = false;
  HWND lastControl_ = nullptr;
  bool lastIsEdit_ = false;
};

void ExchangeText(CDataExchange& dx, int id, std::string& value);
void ExchangeText(CDataExchange& dx, int id, int& value);
void ExchangeText(CDataExchange& dx, int id, UINT& value);
void ExchangeText(CDataExchange& dx, int id, short& value);
// Check box: 0, 1 or 2 (indeterminate).
void ExchangeCheck(CDataExchange& dx, int id, int& value);
// The first radio button of a group: the index of the checked one, -1 none.
void ExchangeRadio(CDataExchange& dx, int id, int& value);
void ExchangeComboIndex(CDataExchange& dx, int id, int& index);
void ExchangeComboText(CDataExchange& dx, int id, std::string& text);
void ExchangeListIndex(CDataExchange& dx, int id, int& index);
void ExchangeListText(CDataExchange& dx, int id, std::string& text);

void ValidateMaxChars(CDataExchange& dx, const std::string& value, int maxChars);
void ValidateRange(CDataExchange& dx, int value, int minimum, int maximum);
void ValidateRange(CDataExchange& dx, UINT value, UINT minimum, UINT maximum);
void ValidateRange(CDataExchange& dx, short value, short minimum, short maximum);

}  // namespace framework
