// Identifiers of the windows' resources: menus, accelerators, icon, dialog templates and
// their controls. Plain #defines, because the resource compiler reads this file too.
#pragma once

// Main frame
#define IDR_MAINFRAME 10000          // menu, accelerators, icon; string 10000 is the title
#define IDR_OUTPUT_CONTEXT_MENU 10030
#define IDW_STATUS_BAR 59393         // the status bar window and the View item

// Commands
#define ID_APP_EXIT 57665
#define ID_APP_ABOUT 57664
#define ID_VIEW_STATUS_BAR 59393
#define ID_VIEW_TRACE 32788
#define ID_VIEW_VERBOSE_LOGGING 32782
#define ID_HELP_CONTENTS 32780
#define ID_HELP_RELEASE_NOTES 32778
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
// Output window context menu
#define ID_EDIT_UNDO 57643
#define ID_EDIT_CUT 57635
#define ID_EDIT_COPY 57634
#define ID_EDIT_PASTE 57637
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_SELECT_ALL 57642

// Property sheet controls (the system's own identifiers)
#define IDC_SHEET_TAB 12320
#define IDC_SHEET_APPLY 12321

// Shared by the pages and dialogs
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_OUTPUT_WINDOW 10016      // rich edit output window / activity log
#define IDC_CLEAR 10010

// Port page
#define IDD_PORT_PAGE 14500
#define IDC_PORT_LABEL 14502
#define IDC_PORT_LIST 14504
#define IDC_TEST_COMMUNICATIONS 14506
#define IDC_CLOSE_PORT 14508

// Firmware page
#define IDD_FIRMWARE_PAGE 15000
#define IDC_FOLDER_DEFAULT 15014
#define IDC_FOLDER_BROWSE 15010
#define IDC_FOLDER_EDIT 15040
#define IDC_FOLDER_GROUP 15046
#define IDC_CHECK_VERSION 15012
#define IDC_COPY_NEW_FILES 15016
#define IDC_CHECK_GROUP 15044
#define IDC_VERSION_GROUP 15050
#define IDC_INSTALLED_LABEL 15090
#define IDC_INSTALLED_VERSION 15070
#define IDC_AVAILABLE_VERSION 15060
#define IDC_SEND_FIRMWARE 15020
#define IDC_ACTIVITY_GROUP 15042

// Firmware loader dialog
#define IDD_MCU_LOADER 16000
#define IDC_LOADER_PROGRESS 16010
// File-server copy dialog
#define IDD_FTP_DIALOG 10022

// Configuration page
#define IDD_CONFIGURATION_PAGE 13700
#define IDC_SAVE_CONFIGURATION 13504
#define IDC_RESTORE_CONFIGURATION 13500
#define IDC_EDIT_BANNER 13400

// Configuration save and restore dialogs, power-on banner editor
#define IDD_CONFIG_RESTORE 13510
#define IDD_CONFIG_SAVE 13512
#define IDC_CONFIG_PROGRESS 16010
#define IDD_POWER_ON_BANNER 13402
#define IDC_BANNER_EDIT 13404

// Command Tester page
#define IDD_COMMAND_TESTER_PAGE 11200
#define IDC_COMMAND_PROMPT 11252
#define IDC_EDIT_MACROS 11201
#define IDC_COMMAND_FIELD 11250
#define IDC_MACRO_FIRST 11211        // Macro 1 .. Macro 16: 11211 .. 11226
#define IDC_MACRO_LAST 11226

// About box, licence agreement and firmware release notes
#define IDD_ABOUT 10020
#define IDC_ABOUT_TEXT 10019
#define IDC_ABOUT_ICON 10018
#define IDC_VIEW_LICENSE 10014
#define IDD_LICENCE 10024
#define IDD_RELEASE_NOTES 10026
#define IDR_LICENCE_DOCUMENT 10002   // the licence agreement: RTF, resource type 256
#define RT_DOCUMENT 256
// Command Tester macro editor (one page of the "Edit Command Tester Macros" sheet)
#define IDD_COMMAND_MACROS_PAGE 11300
#define IDC_MACRO_LABEL_FIRST 11311  // label edit of macro n: 11310 + n
#define IDC_MACRO_TEXT_FIRST 11351   // text edit of macro n: 11350 + n
