// Resource and control identifiers of pagewire.rc, shared with the dialog code.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_DIRECT_PRINT 102
#define IDD_PRINT_CONFIRM 131
#define IDD_PASSWORD 139
#define IDD_FILE_CONFIRM 141
#define IDD_PDF_PRINT_SETTINGS 150

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
#define IDS_TIP_PAPER_SIZE 120
#define IDS_TIP_PAPER_TYPE 121
#define IDS_TIP_DUPLEX 122
#define IDS_TIP_PRINT_MODE 123
#define IDS_TIP_LAYOUT 124
#define IDS_TIP_OUTPUT_COLOR 125
#define IDS_TIP_ALL_PAGES 126
#define IDS_TIP_SELECT_PAGES 127
#define IDS_TIP_FROM_PAGE 128
#define IDS_TIP_TO_PAGE 129
#define IDS_TIP_TO_LAST_PAGE 130
#define IDS_TIP_COPIES 131
#define IDS_TIP_COLLATED 132
#define IDS_TIP_SAVE_SETTINGS 133
#define IDS_TIP_PASSWORD 140
#define IDS_TIP_PASSWORD_FILE 141
#define IDS_TIP_MAC_ADDRESS 142

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

// "PDF File Print" controls. OK and Cancel are IDOK and IDCANCEL.
#define IDC_ALL_PAGES 1030
#define IDC_SELECT_PAGES 1031
#define IDC_FROM_PAGE 1032
#define IDC_FROM_PAGE_SPIN 1033
#define IDC_TO_PAGE 1034
#define IDC_TO_PAGE_SPIN 1035
#define IDC_TO_LAST_PAGE 1036
#define IDC_COPIES 1037
#define IDC_COPIES_SPIN 1038
#define IDC_COLLATED 1039
#define IDC_OUTPUT_COLOR 1040
#define IDC_PRINT_MODE 1041
#define IDC_PAPER_SIZE 1042
#define IDC_PAPER_TYPE 1043
#define IDC_DUPLEX 1044
#define IDC_LAYOUT 1045
#define IDC_SAVE_SETTINGS 1046

// "Enter Password" controls; the six address fields are consecutive.
#define IDC_PASSWORD_FILE_NAME 1050
#define IDC_PASSWORD 1051
#define IDC_DETAILED 1052
#define IDC_DETAILS_GROUP 1053
#define IDC_MAC_FIELD_1 1054
#define IDC_MAC_FIELD_2 1055
#define IDC_MAC_FIELD_3 1056
#define IDC_MAC_FIELD_4 1057
#define IDC_MAC_FIELD_5 1058
#define IDC_MAC_FIELD_6 1059

// "Confirmation" controls.
#define IDC_FILE_CONFIRM_NAME 1060
#define IDC_FILE_CONFIRM_ABORT 1061
#define IDC_FILE_CONFIRM_PRINT_ALL 1062

// About dialog picture frame.
#define IDC_ABOUT_PICTURE 1020

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
