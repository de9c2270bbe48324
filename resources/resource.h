/*
 * Resource identifiers of the setup program.
 *
 * The numbers are fixed: the dialog templates, the code and the test driver
 * all address dialogs, controls, strings and bitmaps by them.  This header is
 * plain C so that windres can read it as well as the compilers.
 *
 * Every dialog template carries its own id as its context help id, which lets
 * a test driver tell the dialogs apart from outside the process.
 */
#ifndef TOVARIN_RESOURCE_H
#define TOVARIN_RESOURCE_H

/* Pages. */
#define IDD_PLEASE_WAIT          1
#define IDD_EXISTING             2
#define IDD_DESTINATION          3
#define IDD_COMPONENTS           4
#define IDD_CUSTOM               5
#define IDD_PROGRESS             7
#define IDD_GROUP                8
#define IDD_FINISH               9

/* Panels: the help shown at the bottom of the screen beside a page. */
#define IDD_PANEL_EXISTING     150
#define IDD_PANEL_DESTINATION  151
#define IDD_PANEL_COMPONENTS   152
#define IDD_PANEL_CUSTOM       153
#define IDD_PANEL_GROUP        155

/* Message boxes: message n is template IDD_MESSAGE_BASE + n. */
#define IDD_MESSAGE_BASE     32000
#define MSG_COPY_FAILED          0   /* OK */
#define MSG_KEEP_SETTINGS        1   /* 1 keep, 2 replace */
#define MSG_CONFIRM_CANCEL       2   /* 1 cancel setup, 2 go on */
#define MSG_CANNOT_CREATE_DIR    3   /* OK */
#define MSG_CREATE_DIR           4   /* 1 create, 2 do not */
#define MSG_LOW_DISK_SPACE       5   /* 1 go on, 2 change selection, 3 cancel */
#define MSG_INSERT_DISK          9   /* 1 OK, 2 cancel */
#define MSG_EXPAND_FAILED       10   /* 1 retry, 2 ignore, 3 abort */
#define MSG_RUN_STOPPED         11   /* OK: the run ends; text: why (IDS_STOP_*) */
#define MSG_BAD_DESTINATION     12   /* OK; text: what is wrong (IDS_DEST_*) */

/* The answers, by what they mean to each box's caller: the id of the
   button pressed, compared in its low 16 bits. */
#define ANSWER_KEEP_SETTINGS     1   /* box 1 */
#define ANSWER_CANCEL_SETUP      1   /* box 2 */
#define ANSWER_CREATE_DIR        1   /* box 4 */
#define ANSWER_CHANGE_SELECTION  2   /* box 5 */
#define ANSWER_CANCEL_LOW_SPACE  3   /* box 5 */
#define ANSWER_CANCEL_DISK       2   /* box 9 */
#define ANSWER_IGNORE_FILE       2   /* box 10 */
#define ANSWER_ABORT_COPY        3   /* box 10 */

/* Message box controls; the buttons are ids 1 to 3. */
#define IDC_MESSAGE_TEXT       100
#define IDC_ANSWER_1             1
#define IDC_ANSWER_2             2
#define IDC_ANSWER_3             3

/* Please-wait page. */
#define IDC_WAIT_STATUS         10

/* Existing-installations page. */
#define IDC_FOUND_LIST          10
#define IDC_INSTALL_OVER        11
#define IDC_OTHER_DIRECTORY     12

/* Destination page. */
#define IDC_DEST_EDIT           10
#define IDC_DEST_NEXT           11
#define IDC_DEST_BACK           12

/* Components page (10 to 16 are the main components). */
#define IDC_MAIN_FIRST          10
#define IDC_MAIN_LAST           16
#define IDC_OPTIONAL_GROUP      17
#define IDC_DETAILS             18
#define IDC_REQUIRED_KB         19
#define IDC_FREE_KB             20
#define IDC_COMPONENTS_NEXT     21
#define IDC_COMPONENTS_BACK     22

/* Custom components page (30 to 39 are the optional components). */
#define IDC_OPTIONAL_FIRST      30
#define IDC_OPTIONAL_LAST       39

/* Copy-progress page. */
#define IDC_PROGRESS_SOURCE     10
#define IDC_PROGRESS_TARGET     11
#define IDC_PROGRESS_BAR        12

/* Program-group page. */
#define IDC_GROUP_LIST          10
#define IDC_GROUP_EDIT          11

/* Finish page (1 closes it). */
#define IDC_FINISH_HEADING      40   /* "installed", or that something was left undone */
#define IDC_FINISH_UNDONE       41   /* list box of what was left undone; shown only then */
#define IDC_FINISH_NOTE         42   /* how to start Tovarin; hidden when the list shows */

/* String table.  IDS_X_BYTES is the buffer string IDS_X is loaded into,
   its terminator included; a format's IDS_X_ARG_BYTES is the most its
   arguments add to the text made of it.  kTextBytes (wsprintfA's limit)
   and kPathBytes are base/text.h's.  Every format and box text loads into
   kTextBytes; tests/pe/check-languages holds each string of every
   language, with its terminator and its arguments, to its buffer. */
#define IDS_TITLE                1   /* backdrop title */
#define IDS_TITLE_BYTES          150
#define IDS_SEARCHING            2   /* please-wait status during the search */
#define IDS_SEARCHING_BYTES      kTextBytes
#define IDS_GUIDE_DIRECTORY      3   /* the guide's subdirectory under destDir */
#define IDS_GUIDE_DIRECTORY_BYTES kPathBytes
#define IDS_README_ITEM          4   /* program-group item name */
#define IDS_README_ITEM_BYTES    kPathBytes
#define IDS_GUIDE_ITEM           5   /* program-group item name */
#define IDS_GUIDE_ITEM_BYTES     kPathBytes
#define IDS_INSERT_DISK          6   /* wsprintf format, one int: disk number */
#define IDS_INSERT_DISK_BYTES    kTextBytes
#define IDS_INSERT_DISK_ARG_BYTES 11
#define IDS_EXPAND_FAILED        7   /* wsprintf format, one string: target path */
#define IDS_EXPAND_FAILED_BYTES  kTextBytes
#define IDS_EXPAND_FAILED_ARG_BYTES (2 * kPathBytes)   /* destDir and the target, as the user knows them */
/* Box 11: why the run stops before the wizard could go on. */
#define IDS_STOP_NO_CATALOGUE    8   /* setup.inf cannot be found or opened */
#define IDS_STOP_NO_CATALOGUE_BYTES kTextBytes
#define IDS_STOP_BAD_CATALOGUE   9   /* setup.inf is damaged or names unsafe files */
#define IDS_STOP_BAD_CATALOGUE_BYTES kTextBytes
#define IDS_STOP_NO_MEMORY      10   /* the catalogue's table cannot be allocated */
#define IDS_STOP_NO_MEMORY_BYTES kTextBytes
#define IDS_STOP_NO_PAGE        11   /* a page or the backdrop cannot be created */
#define IDS_STOP_NO_PAGE_BYTES   kTextBytes
#define IDS_STOP_CTL3D          12   /* the 3D-controls library refused the dialogs */
#define IDS_STOP_CTL3D_BYTES     kTextBytes
/* Box 12: what is wrong with the destination typed. */
#define IDS_DEST_NOT_FULL       13   /* no drive letter and root: "TOVARIN", "\TOVARIN", "C:TOVARIN" */
#define IDS_DEST_NOT_FULL_BYTES  kTextBytes
#define IDS_DEST_NETWORK        14   /* "\\SERVER\SHARE" */
#define IDS_DEST_NETWORK_BYTES   kTextBytes
#define IDS_DEST_CHARACTERS     15   /* a character that names cannot hold */
#define IDS_DEST_CHARACTERS_BYTES kTextBytes
/* The finish page, when something was left undone. */
#define IDS_UNDONE_HEADING      16
#define IDS_UNDONE_HEADING_BYTES kTextBytes
#define IDS_UNDONE_FILE         17   /* wsprintf format, one string: target path */
#define IDS_UNDONE_FILE_BYTES    kTextBytes
#define IDS_UNDONE_FILE_ARG_BYTES kPathBytes
#define IDS_UNDONE_MORE_FILES   18   /* wsprintf format, one unsigned: how many more */
#define IDS_UNDONE_MORE_FILES_BYTES kTextBytes
#define IDS_UNDONE_MORE_FILES_ARG_BYTES 10
#define IDS_UNDONE_GROUP        19
#define IDS_UNDONE_GROUP_BYTES   kTextBytes
#define IDS_UNDONE_TEMPLATE     20   /* wsprintf format, one string: where it is */
#define IDS_UNDONE_TEMPLATE_BYTES kTextBytes
#define IDS_UNDONE_TEMPLATE_ARG_BYTES kPathBytes
#define IDS_UNDONE_TEMPLATE_LOST 21  /* the template is nowhere */
#define IDS_UNDONE_TEMPLATE_LOST_BYTES kTextBytes
#define IDS_UNDONE_CTL3D        22
#define IDS_UNDONE_CTL3D_BYTES   kTextBytes
#define IDS_CTL3D_AT_RESTART    23
#define IDS_CTL3D_AT_RESTART_BYTES kTextBytes
#define IDS_UNDONE_REGISTRY     24
#define IDS_UNDONE_REGISTRY_BYTES kTextBytes
#define IDS_UNDONE_RECORD       28   /* the installation cannot be removed automatically */
#define IDS_UNDONE_RECORD_BYTES kTextBytes

/* The file types' names in the registry, as Explorer shows them. */
#define IDS_TYPE_DOCUMENT       25   /* tvdfile */
#define IDS_TYPE_DOCUMENT_BYTES  64
#define IDS_TYPE_SETTINGS       26   /* tvsfile */
#define IDS_TYPE_SETTINGS_BYTES  64

/* The mark between thousands in KB figures; none (no string) in English. */
#define IDS_DIGIT_GROUPING      27
#define IDS_DIGIT_GROUPING_BYTES 4

/* Bitmaps. */
#define IDB_BACKDROP             1   /* 700 x 525, 8 bits, 256-entry colour table */
#define IDB_LOGO                 2   /* RGB FF00FF is transparent */
#define IDB_BILLBOARD_FIRST      5   /* billboards 5 to 9, in show order */
#define IDB_BILLBOARD_LAST       9

/* Raw data. */
#define IDR_REMOVAL_PROGRAM      1   /* tvremove.exe of the same build, written into the destination */

/* Icons. */
#define IDI_SETUP                1   /* class icon of the backdrop */
#define IDI_PRODUCT          31000   /* product icon for pages */
#define IDI_BOX_QUESTION         31001
#define IDI_BOX_WARNING          31002
#define IDI_BOX_ERROR            31003
#define IDI_BOX_DISK             31004

#endif
