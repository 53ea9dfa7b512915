#pragma once
// Resource and command IDs of Zelmor.exe: shared by zelmor.rc, the Win32 code, and the portable
// code that names texts by ID. Plain #defines so that the resource compiler can read it.

#define IDI_ZELMOR 1
#define IDI_TEMPLATE_WINDOW 2

#define IDR_MAINMENU 100
#define IDR_TEMPLATE_MENU 110

// Controls of the main window
#define IDC_LOG_PANE 101
#define IDC_ENTRY_BOX 102
#define IDC_FEED_LABEL1 103
#define IDC_FEED_LABEL2 104
#define IDC_FEED_LABEL3 105
#define IDC_FEED_LABEL4 106
#define IDC_FEED_LABEL5 107

// Controls of the template settings window
#define IDC_TEMPLATE_BOX 201
#define IDC_TEMPLATE_HEADING 202
#define IDC_TEMPLATE_HELP 203

// Commands of the main window's menu
#define IDM_LOG_OPEN 1001
#define IDM_EDIT_MODE 1002
#define IDM_LOG_SAVE 1003
#define IDM_VIEW_SAFETY_COPY 1004
#define IDM_EDIT_TEMPLATE 1005
#define IDM_CLOSE 1006
#define IDM_EDIT_MODE_HINT 1007
#define IDM_ADIF_EXPORT 1008
// The transfer menu, in menu order
#define IDM_TO_HL_DATE 1101
#define IDM_TO_HL_TIME 1102
#define IDM_TO_HL_CALL 1103
#define IDM_TO_HL_HIS_RST 1104
#define IDM_TO_HL_MY_RST 1105
#define IDM_TO_HL_MODE 1106
#define IDM_TO_HL_FREQ 1107
#define IDM_TO_HL_CODE 1108
#define IDM_TO_HL_NAME 1109
#define IDM_TO_HL_REM1 1110
#define IDM_TO_HL_REM2 1111
// Below the eleven, after a separator: every field of one log line.
#define IDM_TO_HL_WHOLE_CONTACT 1120
// The template settings window's one menu item
#define IDM_TEMPLATE_CLOSE 1201

// Texts
#define IDS_APP_TITLE 2001
#define IDS_CAPTION_PREFIX 2002
#define IDS_CLOSE_QUESTION 2003
#define IDS_OPEN_UNSAVED_QUESTION 2004
#define IDS_RECOVERY_QUESTION 2005
#define IDS_LOG_OPEN_FAILED 2010
#define IDS_LOG_SAVE_FAILED 2011
#define IDS_SAFETY_COPY_OPEN_FAILED 2012
#define IDS_HAMLOG_NOT_RUNNING 2013
#define IDS_LOG_FILTER 2020
#define IDS_LOG_SAVE_TITLE 2021
#define IDS_LOG_OPEN_TITLE 2022
#define IDS_SAFETY_COPY_FILTER 2023
#define IDS_SAFETY_COPY_TITLE 2024
#define IDS_TEMPLATE_CAPTION 2030
#define IDS_TEMPLATE_HEADING 2031
#define IDS_TEMPLATE_HELP 2032
#define IDS_UNEXPECTED_FAILURE 2014
#define IDS_FONT_GOTHIC 2040
#define IDS_FONT_PGOTHIC 2041
// The ADIF export
#define IDS_ADIF_FILTER 2050
#define IDS_ADIF_TITLE 2051
#define IDS_ADIF_SAVE_FAILED 2052
#define IDS_ADIF_DONE 2053
#define IDS_ADIF_EXPORTED 2054
#define IDS_ADIF_WITHOUT_SATELLITE 2055
#define IDS_ADIF_UNKNOWN_SATELLITE 2056
#define IDS_ADIF_NAMES 2057
#define IDS_ADIF_NO_NAME 2058
#define IDS_ADIF_UNKNOWN_MODE 2059
#define IDS_ADIF_TEXT_REPLACED 2060
#define IDS_ADIF_UNREADABLE 2061
#define IDS_ADIF_NO_CALL 2062
#define IDS_ADIF_NO_UTC 2063
#define IDS_ADIF_NOT_EXPORTED 2064
#define IDS_ADIF_LINE 2065
#define IDS_ADIF_MORE 2066
#define IDS_ADIF_NAMES_HINT 2067
