// Resource ids of the program: dialogs, strings, icons and their controls.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MIROVANT9X_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_TREE 1000
#define IDC_REFRESH 1001
#define IDC_SAVEAS 1002

// Controls that nothing refers to.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The About command of the system menu.
#define IDM_ABOUTBOX 0x0010
