#pragma once
// The names of the widgets, actions and dialogs that only code creates: no form or menu table
// carries a text for them. They sit in the namespace of their window beside the generated
// names of resources/forms/ (widget_names.h); a name that a table takes up later fails to
// compile here until its line below is removed.

#include "resources/widget_names.h"

namespace widget_names {

namespace EditorFRM {
inline constexpr char ToolBar[] = "ToolBar";
inline constexpr char FileOpenTBTN[] = "FileOpenTBTN";
inline constexpr char FileSaveTBTN[] = "FileSaveTBTN";
inline constexpr char ToggleAssemblerTBTN[] = "ToggleAssemblerTBTN";
inline constexpr char FileListSPLT[] = "FileListSPLT";
inline constexpr char FilesLoadedLB[] = "FilesLoadedLB";
inline constexpr char ErrorSPLT[] = "ErrorSPLT";
inline constexpr char EditorPNL[] = "EditorPNL";
inline constexpr char ErrorLB[] = "ErrorLB";
inline constexpr char StatusPanel0[] = "StatusPanel0";
inline constexpr char StatusPanel1[] = "StatusPanel1";
inline constexpr char StatusPanel2[] = "StatusPanel2";
inline constexpr char CurrFilePNL[] = "CurrFilePNL";
inline constexpr char LegacyEditor[] = "LegacyEditor";
inline constexpr char OpenDialog[] = "OpenDialog";
inline constexpr char SaveDialog[] = "SaveDialog";
inline constexpr char PrintDialog[] = "PrintDialog";
inline constexpr char PrintFileDLG[] = "PrintFileDLG";
}  // namespace EditorFRM

namespace MainMenu {
// The "Reopen" list's items, the newest file first.
inline constexpr char FileZeroItem[] = "FileZeroItem";
inline constexpr char FileOneItem[] = "FileOneItem";
inline constexpr char FileTwoItem[] = "FileTwoItem";
inline constexpr char FileThreeItem[] = "FileThreeItem";
inline constexpr char FileFourItem[] = "FileFourItem";
// The "Windows" list's items for the main window, the list window and the device window.
inline constexpr char EditorWindowMENUITM[] = "EditorWindowMENUITM";
inline constexpr char ListWindowMENUITM[] = "ListWindowMENUITM";
inline constexpr char DeviceWindowMENUITM[] = "DeviceWindowMENUITM";
}  // namespace MainMenu

namespace AboutFRM {
inline constexpr char ProductLBL[] = "ProductLBL";
inline constexpr char VersionLBL[] = "VersionLBL";
inline constexpr char WebLBL[] = "WebLBL";
inline constexpr char OkBTN[] = "OkBTN";
}  // namespace AboutFRM

namespace ConfigFRM {
inline constexpr char ItemsPGCTRL[] = "ItemsPGCTRL";
inline constexpr char IdeTAB[] = "IdeTAB";
inline constexpr char EditorTAB[] = "EditorTAB";
inline constexpr char AssemblerTAB[] = "AssemblerTAB";
inline constexpr char QvBasicTAB[] = "QvBasicTAB";
inline constexpr char LanguageTAB[] = "LanguageTAB";
inline constexpr char PortRDGRP[] = "PortRDGRP";
inline constexpr char TooManyComPortsCBX[] = "TooManyComPortsCBX";
inline constexpr char EditorOptionsPNL[] = "EditorOptionsPNL";
inline constexpr char FontsizeUpDown[] = "FontsizeUpDown";
inline constexpr char TabsizeUpDown[] = "TabsizeUpDown";
inline constexpr char CodeColorPNL[] = "CodeColorPNL";
inline constexpr char CommentColorPNL[] = "CommentColorPNL";
inline constexpr char ErrorBgColorPNL[] = "ErrorBgColorPNL";
inline constexpr char SyntaxColorDLG[] = "SyntaxColorDLG";
}  // namespace ConfigFRM

namespace GotoLineNumDLG {
inline constexpr char LineNumEDT[] = "LineNumEDT";
}  // namespace GotoLineNumDLG

namespace HelpForm {
inline constexpr char HelpForm[] = "HelpForm";
inline constexpr char HelpMemo[] = "HelpMemo";
}  // namespace HelpForm

namespace HintForm {
inline constexpr char HintForm[] = "HintForm";
}  // namespace HintForm

namespace GridDebugFRM {
inline constexpr char GridDebugFRM[] = "GridDebugFRM";
inline constexpr char DebugGRD[] = "DebugGRD";
inline constexpr char ClearBTN[] = "ClearBTN";
}  // namespace GridDebugFRM

// The editor's own Find and Replace dialogs.
namespace FindDialog {
inline constexpr char Edit_FindDialog[] = "Edit_FindDialog";
inline constexpr char Edit_ReplaceDialog[] = "Edit_ReplaceDialog";
inline constexpr char FindEdit[] = "FindEdit";
inline constexpr char ReplaceEdit[] = "ReplaceEdit";
inline constexpr char MatchCaseCB[] = "MatchCaseCB";
inline constexpr char WholeWordCB[] = "WholeWordCB";
inline constexpr char UpRB[] = "UpRB";
inline constexpr char DownRB[] = "DownRB";
inline constexpr char FindNextBTN[] = "FindNextBTN";
inline constexpr char ReplaceBTN[] = "ReplaceBTN";
inline constexpr char ReplaceAllBTN[] = "ReplaceAllBTN";
inline constexpr char CancelBTN[] = "CancelBTN";
}  // namespace FindDialog

namespace FindReplaceForm {
inline constexpr char FindReplaceForm[] = "FindReplaceForm";
inline constexpr char FindMemo[] = "FindMemo";
inline constexpr char ReplaceMemo[] = "ReplaceMemo";
inline constexpr char FromStartCB[] = "FromStartCB";
inline constexpr char WordOnlyCB[] = "WordOnlyCB";
inline constexpr char FindBTN[] = "FindBTN";
inline constexpr char ReplaceBTN[] = "ReplaceBTN";
inline constexpr char AllBTN[] = "AllBTN";
inline constexpr char CancelBTN[] = "CancelBTN";
}  // namespace FindReplaceForm

// The two notices that a "Don't show this again" box can silence.
namespace NoticeForm {
inline constexpr char ClockGenInfoFRM[] = "ClockGenInfoFRM";
inline constexpr char FileSaveNotificationDLG[] = "FileSaveNotificationDLG";
inline constexpr char MessageLBL[] = "MessageLBL";
inline constexpr char DontShowCB[] = "DontShowCB";
inline constexpr char OkBTN[] = "OkBTN";
inline constexpr char CancelBTN[] = "CancelBTN";
}  // namespace NoticeForm

namespace PrintForm {
inline constexpr char PrintForm[] = "PrintForm";
inline constexpr char PrinterComboBox[] = "PrinterComboBox";
inline constexpr char RangeGroup[] = "RangeGroup";
inline constexpr char OrientationGroup[] = "OrientationGroup";
inline constexpr char FontSizeSpinEdit[] = "FontSizeSpinEdit";
inline constexpr char SectionsSpinEdit[] = "SectionsSpinEdit";
inline constexpr char SizeLabel[] = "SizeLabel";
inline constexpr char CharacterLabel[] = "CharacterLabel";
inline constexpr char PagesLabel[] = "PagesLabel";
inline constexpr char OkayButton[] = "OkayButton";
inline constexpr char CancelButton[] = "CancelButton";
}  // namespace PrintForm

namespace PrintStatusForm {
inline constexpr char PrintStatusForm[] = "PrintStatusForm";
inline constexpr char PagesLabel[] = "PagesLabel";
inline constexpr char CancelButton[] = "CancelButton";
}  // namespace PrintStatusForm

// The windows of build, program and debug.
namespace ClockForm {
inline constexpr char ClockForm[] = "ClockForm";
inline constexpr char Edit[] = "Edit";
inline constexpr char TrackBar[] = "TrackBar";
inline constexpr char CheckBox[] = "CheckBox";
inline constexpr char ResetButton[] = "ResetButton";
inline constexpr char OkayButton[] = "OkayButton";
}  // namespace ClockForm

namespace CodeForm {
inline constexpr char CodeForm[] = "CodeForm";
}  // namespace CodeForm

namespace DebugFRM {
inline constexpr char WalkSlowerBTN[] = "WalkSlowerBTN";
inline constexpr char WalkFasterBTN[] = "WalkFasterBTN";
inline constexpr char WalkSpeedLBL[] = "WalkSpeedLBL";
inline constexpr char StatusPanel[] = "StatusPanel";
}  // namespace DebugFRM

namespace DeviceFRM {
inline constexpr char OptionsGRP[] = "OptionsGRP";
inline constexpr char BufferFeedbackPNL[] = "BufferFeedbackPNL";
inline constexpr char IdGRP[] = "IdGRP";
inline constexpr char IDStringLBL[] = "IDStringLBL";
inline constexpr char EeGRP[] = "EeGRP";
inline constexpr char EEScrollBar[] = "EEScrollBar";
inline constexpr char LoadHexDLG[] = "LoadHexDLG";
inline constexpr char SaveHexDLG[] = "SaveHexDLG";
inline constexpr char DeviceSCROLL[] = "DeviceSCROLL";
}  // namespace DeviceFRM

namespace IrcFRM {
inline constexpr char StatusLBL[] = "StatusLBL";
}  // namespace IrcFRM

namespace MultiProgFRM {
inline constexpr char MultiProgFRM[] = "MultiProgFRM";
inline constexpr char StartBTN[] = "StartBTN";
inline constexpr char FileBTN[] = "FileBTN";
inline constexpr char EndBTN[] = "EndBTN";
}  // namespace MultiProgFRM

namespace QvCDebugFRM {
inline constexpr char QvCDebugFRM[] = "QvCDebugFRM";
inline constexpr char DebugGRD[] = "DebugGRD";
}  // namespace QvCDebugFRM

namespace RegisterForm {
inline constexpr char RegisterForm[] = "RegisterForm";
}  // namespace RegisterForm

namespace WatchForm {
inline constexpr char WatchForm[] = "WatchForm";
}  // namespace WatchForm

namespace ZK_CodeFRM {
inline constexpr char CodeEditorTB[] = "CodeEditorTB";
inline constexpr char ViewRowTB[] = "ViewRowTB";
inline constexpr char SessionRowTB[] = "SessionRowTB";
inline constexpr char CodeSCRVL[] = "CodeSCRVL";
}  // namespace ZK_CodeFRM

}  // namespace widget_names
