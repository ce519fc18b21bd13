// Resource and control identifiers of pagewire.rc, shared with the dialog code.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_DIRECT_PRINT 102
#define IDD_PRINT_CONFIRM 131

// Icon, bitmap, manifest.
#define IDI_PAGEWIRE 128
#define IDB_ABOUT 138
#define IDR_MANIFEST 1

// String table.
#define IDS_ABOUT_MENU 101
#define IDS_TIP_BROWSE 105
#define IDS_TIP_OPEN_FILE 106
#define IDS_TIP_PRINTERS 107
#define IDS_TIP_PORT 108
#define IDS_TIP_PRINT 109
#define IDS_TIP_ABOUT 111
#define IDS_TIP_EXIT 112

// System menu command of the appended About item.
#define IDM_ABOUTBOX 0x0010

// Main dialog controls. "Exit" is the OK command.
#define IDC_FILE_EDIT 1000
#define IDC_BROWSE 1001
#define IDC_OPEN_FILE 1002
#define IDC_PRINTERS 1003
#define IDC_PORT 1004
#define IDC_PRINT 1005
#define IDC_ABOUT 1006

// Confirmation dialog controls. OK and Cancel are IDOK and IDCANCEL.
#define IDC_CONFIRM_FILE_NAME 1010
#define IDC_CONFIRM_PRINTER_NAME 1011
#define IDC_CONFIRM_SKIP 1012
#define IDC_CONFIRM_PRINT_SETTINGS 1013

// About dialog picture frame.
#define IDC_ABOUT_PICTURE 1020

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
