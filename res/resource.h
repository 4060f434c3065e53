/*
 * Resource identifiers of Quillbar, shared by qlbar.rc and the C++ code.
 * Plain #defines only: windres reads this file too.
 *
 * Several numbers appear twice on purpose. The mode settings store the id of
 * the checked radio button, so the string that names the "Popup" key shares
 * 10101 with the PopUp radio button; the spin buttons' names in the string
 * table share their control ids; the About box and the Set Up dialog both use
 * 203 and 204 for unrelated controls. Strings, dialogs and controls live in
 * separate id spaces, so none of these collide.
 */
#ifndef QUILLBAR_RESOURCE_H
#define QUILLBAR_RESOURCE_H

/* ---- Icons, menus, dialog templates ------------------------------------ */

#define IDI_QUILLBAR                2       /* application icon */

#define IDD_ABOUT                   101     /* About box */
#define IDD_SETUP                   103     /* Set Up dialog, the main window */
#define IDD_TITLEPOPUP              104     /* title popup over the buttons */

#define IDR_SYSTEMMENU              106     /* "&System" submenu of the group menu */

/* ---- Commands ---------------------------------------------------------- */

/* Accepted by the button window from any sender. */
#define IDM_ABOUT                   2000
#define IDM_EXIT                    2001
#define IDM_TOPMOST                 2002
#define IDM_HELP                    2004    /* Set Up dialog's system menu only */
#define IDM_CLOSETITLE              2005    /* posted by the title popup */

/* Entries of the "&System" submenu. */
#define IDM_RESTART                 2051
#define IDM_EXITWINDOWS             2052
#define IDM_REBOOT                  2053
#define IDM_RESTARTWINDOWS          2054
#define IDM_IMPORTSTARTMENU         2055

/* Group entries of the popup menu: IDM_GROUP_FIRST + group index. */
#define IDM_GROUP_FIRST             9000
#define IDM_GROUP_LAST              9255

/* The framework's standard About command, routed to the application. */
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT                57664
#endif

/* ---- About box (IDD_ABOUT) --------------------------------------------- */

#define IDC_ABOUT_SYSINFO           12      /* group box around the panel */
#define IDC_ABOUT_MEMORY            200
#define IDC_ABOUT_CPU_COUNT_LABEL   201
#define IDC_ABOUT_CPU_COUNT         202
#define IDC_ABOUT_USER              203
#define IDC_ABOUT_SCREEN            204
#define IDC_ABOUT_COLORS            205
#define IDC_ABOUT_CPU               206
#define IDC_ABOUT_VERSION           207     /* version line or build stamp */
#define IDC_ABOUT_NOTICE            208

/* ---- Set Up dialog (IDD_SETUP) ----------------------------------------- */

/* Number fields and their labels. */
#define IDC_HEIGHT_LABEL            308
#define IDC_HEIGHT                  358
#define IDC_WIDTH_LABEL             309
#define IDC_WIDTH                   359
#define IDC_MAX_LABEL               314
#define IDC_MAX                     313

/* Spin buttons beside the number fields (created at run time). */
#define IDC_SPIN_HEIGHT_UP          191
#define IDC_SPIN_HEIGHT_DOWN        192
#define IDC_SPIN_WIDTH_UP           193
#define IDC_SPIN_WIDTH_DOWN         194
#define IDC_SPIN_MAX_UP             195
#define IDC_SPIN_MAX_DOWN           196

/* Title strip mode; the checked id is the stored "Title" value. */
#define IDC_TITLE_HORIZONTAL        10000
#define IDC_TITLE_VERTICAL          10001
#define IDC_TITLE_NOTHING           10002

/* Title popup mode; the checked id is the stored "ButtonTitle" value. */
#define IDC_POPUPTITLE_DISABLE      401
#define IDC_POPUPTITLE_ACTIVE       402
#define IDC_POPUPTITLE_ALWAYS       403

/* Screen position buttons, laid out as the corners and edges they stand for.
   These are mapped to the position codes, not stored as they are. */
#define IDC_FREE_LABEL              307
#define IDC_POS_TOPLEFT             351
#define IDC_POS_TOPCENTER           352
#define IDC_POS_TOPRIGHT            353
#define IDC_POS_FREE                354
#define IDC_POS_BOTTOMLEFT          355
#define IDC_POS_BOTTOMCENTER        356
#define IDC_POS_BOTTOMRIGHT         357

/* Popup mode; the checked id is the stored "Popup" value. */
#define IDC_POPUP_FIXED             10100
#define IDC_POPUP_POPUP             10101
#define IDC_POPUP_GROUPUP           10102

#define IDC_TOPMOST                 203
#define IDC_STOPSAVER               204

/* Push buttons. OK is IDOK (1). CANCEL is deliberately not IDCANCEL (2):
   Escape arrives as IDCANCEL and is turned into this command. */
#define IDC_SETUP_CANCEL            3
#define IDC_EXIT                    102

/* ---- Title popup (IDD_TITLEPOPUP) -------------------------------------- */

#define IDC_TITLEPOPUP_TEXT         450     /* unused, parked out of sight */

/* ---- String table ------------------------------------------------------ */

/* Product name: section name of the settings file and captions. */
#define IDS_APPNAME                 2
#define IDS_PRODUCT                 156

/* Settings keys and composite defaults. */
#define IDS_KEY_WINDOW              112
#define IDS_KEY_TOPMOST             113
#define IDS_KEY_GROUP               114
#define IDS_KEY_SIZE                115
#define IDS_KEY_MAX                 117
#define IDS_KEY_BUTTONTITLE         118
#define IDS_DEFAULT_SIZE            122
#define IDS_DEFAULT_WINDOW          123
#define IDS_KEY_STOPSAVER           174
#define IDS_KEY_DIALOG              179
#define IDS_DEFAULT_DIALOG          180
#define IDS_KEY_TITLE               181
#define IDS_KEY_POPUP               10101
#define IDS_KEY_ASKIMPORT           198     /* the first run's question answered: 0 */

/* Window titles and menu texts. */
#define IDS_BUTTONWND_TITLE         178
#define IDS_MENU_SYSTEM             183
#define IDS_SYSMENU_HELP            127
#define IDS_SYSMENU_ABOUT           129

/* Messages. */
#define IDS_INVALID_VALUES          155
#define IDS_LAUNCH_FAILED           159
#define IDS_LAUNCH_FAILED_CAPTION   161
#define IDS_OUT_OF_MEMORY           182
#define IDS_ITEM_NOT_EXACT          210
#define IDS_DROP_NOT_EXACT          211
#define IDS_HELP_FAILED             61703   /* the framework's help call */

/* About box texts. */
#define IDS_ABOUT_NOTICE            109
#define IDS_ABOUT_VERSION           110
#define IDS_INFO_KB                 103
#define IDS_INFO_SCREEN             106
#define IDS_INFO_COLOR              107
#define IDS_INFO_COLORS             108
#define IDS_INFO_MEMORY             128
#define IDS_INFO_CPU                137
#define IDS_INFO_CPU_COUNT          164
#define IDS_INFO_USER               165

/* Processor names. */
#define IDS_CPU_80386               139
#define IDS_CPU_80486               141
#define IDS_CPU_PENTIUM             142
#define IDS_CPU_I860                154
#define IDS_CPU_R2000               158
#define IDS_CPU_R3000               160
#define IDS_CPU_R4000               162
#define IDS_CPU_21064               163
/* Today's processors, which the processor type alone does not name. */
#define IDS_CPU_X86                 184
#define IDS_CPU_X64                 185
#define IDS_CPU_IA64                186
#define IDS_CPU_ARM                 187
#define IDS_CPU_ARM64               188
#define IDS_CPU_UNKNOWN             189     /* followed by the type's number */

/* Names of the spin buttons, under their control ids. */
#define IDS_SPIN_HEIGHT_UP          191
#define IDS_SPIN_HEIGHT_DOWN        192
#define IDS_SPIN_WIDTH_UP           193
#define IDS_SPIN_WIDTH_DOWN         194
#define IDS_SPIN_MAX_UP             195
#define IDS_SPIN_MAX_DOWN           196

/* A save of the settings that failed everywhere; the places and reasons follow it. */
#define IDS_SETTINGS_NOT_SAVED      197

/* Groups made from the Start Menu by the group tool: the first run's question, a tool
   that could not be started (the path and the reason follow), an import that left
   entries out or did not end in time. */
#define IDS_IMPORT_ASK              199
#define IDS_IMPORT_FAILED           200
#define IDS_IMPORT_INCOMPLETE       201

#endif /* QUILLBAR_RESOURCE_H */
