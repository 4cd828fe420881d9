#pragma once
// The VB constants that the forms runtime's services take and return.

namespace forms {

// MsgBox buttons (low nibble), icons, default button.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;

// MsgBox answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Screen.MousePointer.
inline constexpr int vbDefault = 0;
inline constexpr int vbArrow = 1;
inline constexpr int vbHourglass = 11;

// CheckBox.Value.
inline constexpr int vbUnchecked = 0;
inline constexpr int vbChecked = 1;
inline constexpr int vbGrayed = 2;

// Form.Show.
inline constexpr int vbModeless = 0;
inline constexpr int vbModal = 1;

// Form.BorderStyle.
inline constexpr int vbBSNone = 0;
inline constexpr int vbFixedSingle = 1;
inline constexpr int vbSizable = 2;
inline constexpr int vbFixedDialog = 3;

// Label.Alignment.
inline constexpr int vbLeftJustify = 0;
inline constexpr int vbRightJustify = 1;
inline constexpr int vbCenter = 2;

// ListBox.Style and ComboBox.Style.
inline constexpr int vbListBoxStandard = 0;
inline constexpr int vbListBoxCheckbox = 1;
inline constexpr int vbComboDropDown = 0;
inline constexpr int vbComboDropdownList = 2;

// Form.StartUpPosition.
inline constexpr int vbStartUpManual = 0;
inline constexpr int vbStartUpOwner = 1;
inline constexpr int vbStartUpScreen = 2;

// Key codes that handlers test.
inline constexpr int vbKeyBack = 8;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyEscape = 27;

// Colours are OLE_COLOR values, &H00BBGGRR.
inline constexpr unsigned vbWhite = 0xFFFFFF;
inline constexpr unsigned vbBlack = 0x000000;
inline constexpr unsigned vbGreyC0 = 0xC0C0C0;
inline constexpr unsigned vbButtonFace = 0x8000000F;   // system colour: dialog background
inline constexpr unsigned vbWindowBackground = 0x80000005;
inline constexpr unsigned vbWindowText = 0x80000008;
inline constexpr unsigned vbButtonText = 0x80000012;

// Twips per pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

}  // namespace forms
