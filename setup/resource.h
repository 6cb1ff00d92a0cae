// Resource numbers of setup.
#pragma once

#define IDI_SETUP 107
#define IDB_WIZARD 134

// Dialog templates.
#define IDD_EXIT_SETUP 129
#define IDD_WELCOME 130
#define IDD_LICENSE 131
#define IDD_README 135
#define IDD_TARGET_DIR 136
#define IDD_PROGRAM_GROUP 137
#define IDD_START 138
#define IDD_FINISH 139
#define IDD_USER_INFO 143
#define IDD_PROCESS 144
#define IDD_LANGUAGE 145
#define IDD_REINSTALL 159

// Controls of the wizard dialogs.
#define IDC_BACK 1000
#define IDC_EXIT 1001
#define IDC_NEXT 1003
#define IDC_EDIT 1005
#define IDC_BROWSE 1006
#define IDC_TEXT1 1009
#define IDC_TEXT2 1010
#define IDC_TEXT3 1011
#define IDC_TEXT4 1012
#define IDC_TEXT5 1013
#define IDC_TEXT7 1015
#define IDC_LIST 1017
#define IDC_FINISH 1018
#define IDC_CHECK1 1020
#define IDC_CHECK2 1021
#define IDC_EDIT2 1030
#define IDC_EDIT3 1031
#define IDC_PROGRESS 1032
#define IDC_STATUS 1033
#define IDC_REQUIRED 1037
#define IDC_AVAILABLE 1038
#define IDC_PICTURE 1040
#define IDC_REINSTALL_CANCEL 1056
#define IDC_REINSTALL_YES 1059
#define IDC_REINSTALL_NO 1060
