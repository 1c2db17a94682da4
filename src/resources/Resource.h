#pragma once
// Identifiers of the program's resources: strings, commands and the
// application icon. The string numbers are fixed, so that a message a user
// quotes can be traced from its number; texts that have no published number
// get identifiers from 59000 on.
#include "com/Types.h"

// The frame's caption, icon and toolbar.
inline constexpr UINT IDR_MAINFRAME = 128;

// Toolbar commands; their strings hold "description\ntool tip".
inline constexpr UINT ID_BACK = 58000;
inline constexpr UINT ID_FORWARD = 58001;
inline constexpr UINT ID_RELOAD = 58002;

// The About item of the window menu, and the toolbar's visibility entry of
// the frame's update table.
inline constexpr UINT ID_APP_ABOUT = 0xE140;
inline constexpr UINT ID_VIEW_TOOLBAR = 0xE800;
// The toolbar's control identifier and the first band identifier.
inline constexpr UINT ATL_IDW_TOOLBAR = 0xE800;
inline constexpr UINT ATL_IDW_BAND_FIRST = 0xEB00;

// The runtime setup dialog and its progress bar.
inline constexpr UINT IDD_RUNTIME_INSTALL = 202;
inline constexpr int IDC_PROGRESS = 1002;

// Failure messages, with the status code as insert %1.
inline constexpr UINT IDS_SETTINGS_LOAD_FAILED = 58100;
inline constexpr UINT IDS_BROWSER_INITIALIZATION_FAILED = 58103;
inline constexpr UINT IDS_BROWSER_CONFIGURATION_FAILED = 58104;
inline constexpr UINT IDS_RUNTIME_SETUP_FAILED = 58106;
inline constexpr UINT IDS_RUNTIME_NOT_INSTALLED = 58108;

// Texts shown without a published string number.
inline constexpr UINT IDS_SETUP_NOTICE = 59000;
inline constexpr UINT IDS_APP_ABOUT_MENU_ITEM = 59001;
inline constexpr UINT IDS_SETUP_DIALOG_CAPTION = 59002;
inline constexpr UINT IDS_SETUP_DIALOG_TEXT = 59003;
inline constexpr UINT IDS_ABOUT_CAPTION = 59004;
inline constexpr UINT IDS_ABOUT_TEXT = 59005;
inline constexpr UINT IDS_OK = 59006;
inline constexpr UINT IDS_FOLDER_NOT_FOUND = 59010;
inline constexpr UINT IDS_FILE_NOT_FOUND = 59011;
inline constexpr UINT IDS_SAVE_FAILED = 59012;
inline constexpr UINT IDS_SAVE_DIALOG_TITLE = 59013;
inline constexpr UINT IDS_OPEN_AFTER_SAVE = 59014;
inline constexpr UINT IDS_CONFIRM_REPLACE = 59020;
inline constexpr UINT IDS_COPY_PROGRESS_TEXT = 59021;
inline constexpr UINT IDS_CANCEL = 59022;
