#pragma once
// Resource and command IDs of Zelmor.exe: shared by zelmor.rc, the Win32 code, and the portable
// code that names texts by ID. Plain #defines so that the resource compiler can read it.

#define IDI_ZELMOR 1
#define IDI_MACROFORM 2

#define IDR_MAINMENU 100
#define IDR_MACROMENU 110

// Controls of the main window
#define IDC_TEXT1 101
#define IDC_TEXT2 102
#define IDC_LABEL1 103
#define IDC_LABEL2 104
#define IDC_LABEL3 105
#define IDC_LABEL4 106
#define IDC_LABEL5 107

// Controls of the template settings window
#define IDC_MACRO_TEXT1 201
#define IDC_MACRO_LABEL2 202
#define IDC_MACRO_LABEL1 203

// Commands of the main window's menu
#define IDM_LOGFOPEN 1001
#define IDM_LOGEDIT 1002
#define IDM_LOGFCLS 1003
#define IDM_LOGEFOPEN 1004
#define IDM_FIXEDIT 1005
#define IDM_PEND 1006
#define IDM_HLMSG 1007
// The transfer menu, in menu order
#define IDM_CPDATE 1101
#define IDM_CPTIME 1102
#define IDM_CPCALL 1103
#define IDM_CPHIS 1104
#define IDM_CPMY 1105
#define IDM_CPMODE 1106
#define IDM_CPFREQ 1107
#define IDM_CPCODE 1108
#define IDM_CPNAME 1109
#define IDM_CPREM1 1110
#define IDM_CPREM2 1111
// The template settings window's one menu item
#define IDM_ECLS 1201

// Texts
#define IDS_APP_TITLE 2001
#define IDS_CAPTION_PREFIX 2002
#define IDS_CLOSE_QUESTION 2003
#define IDS_OPEN_UNSAVED_QUESTION 2004
#define IDS_RECOVERY_QUESTION 2005
#define IDS_LOG_OPEN_FAILED 2010
#define IDS_LOG_SAVE_FAILED 2011
#define IDS_TEMP_OPEN_FAILED 2012
#define IDS_HAMLOG_NOT_RUNNING 2013
#define IDS_LOG_FILTER 2020
#define IDS_LOG_SAVE_TITLE 2021
#define IDS_LOG_OPEN_TITLE 2022
#define IDS_TEMP_FILTER 2023
#define IDS_TEMP_TITLE 2024
#define IDS_MACRO_CAPTION 2030
#define IDS_MACRO_HEADING 2031
#define IDS_MACRO_HELP 2032
#define IDS_FONT_GOTHIC 2040
#define IDS_FONT_PGOTHIC 2041
