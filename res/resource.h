// Identifiers of the updater's resources, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_UPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_PICTURE 129

#define IDC_PROGRESS 1000
#define IDC_STATUS 1001
#define IDC_LOG 1002

// System-menu command of the About item; the system keeps the low four bits for itself.
#define IDM_ABOUTBOX 0x0010
