// Every resource, control and command ID of Pelmix, shared by Pelmix.rc and the code.
#pragma once

// Dialogs, menu, string and icon.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_PELMIX_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_MENU 129

// Controls of the main dialog. The mode buttons' IDs are not consecutive; a mode is the
// button's position in its group, not its ID.
#define IDC_TITLE 1000
#define IDC_ARTIST 1001
#define IDC_ALBUM 1002
#define IDC_YEAR 1003
#define IDC_COMMENT 1004
#define IDC_TRACK 1005
#define IDC_GENRE 1006
#define IDC_MODE_EDIT 1007
#define IDC_MODE_VIEW 1008
#define IDC_MODE_UPDATE 1009
#define IDC_UPDATE_TRACK 1010
#define IDC_UPDATE_GENRE 1011
#define IDC_UPDATE_TITLE 1012
#define IDC_UPDATE_ARTIST 1013
#define IDC_UPDATE_ALBUM 1014
#define IDC_UPDATE_YEAR 1015
#define IDC_UPDATE_COMMENT 1016
#define IDC_INCREMENT_TRACK 1017
#define IDC_UPDATE_BUTTON 1018
#define IDC_INCREMENT_TITLE 1019
#define IDC_INCREMENT_ARTIST 1020
#define IDC_INCREMENT_ALBUM 1021
#define IDC_MODE_HELP 1022
#define IDC_INCREMENT_COMMENT 1023
#define IDC_MODE_AUTO_UPDATE 1024

// Menu commands.
#define ID_HELP_HELP 32771
#define ID_HELP_ABOUT 32772
#define ID_FILE_OPEN 32773
#define ID_FILE_EXIT 32774
#define ID_FILE_UNDO 32775

// The About item of the system menu; system commands keep their low four bits for the system.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
