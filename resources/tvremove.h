/*
 * Resource identifiers of the removal program, tvremove.exe.
 *
 * Fixed numbers, addressed by the code and the test driver alike; plain C
 * so that windres reads it too.  Every dialog template carries its own id
 * as its context help id.  The boxes follow Setup's convention: box n is
 * template 32000 + n, control 100 holds its text, its buttons are ids 1 to
 * 3 and the box answers with the id of the one pressed.
 */
#ifndef TOVARIN_TVREMOVE_H
#define TOVARIN_TVREMOVE_H

#define IDI_REMOVE               1

/* The progress page. */
#define IDD_REMOVE_PROGRESS     20
#define IDC_REMOVE_NAME         21   /* what is being removed */
#define IDC_REMOVE_FRAME        22   /* the indicator's frame */
#define IDC_REMOVE_BAR          23   /* the indicator, as wide as the work done */

/* Boxes: box n is template REMOVE_BOX_BASE + n. */
#define REMOVE_BOX_BASE      32000
#define BOX_CONFIRM_REMOVE       1   /* 1 remove, 2 cancel */
#define BOX_KEEP_SETTINGS        2   /* 1 keep, 3 remove them */
#define BOX_FILE_IN_USE          3   /* 1 retry, 2 later (at the next start), 3 cancel */
#define BOX_RECORD_DAMAGED       4   /* 1 OK */
#define BOX_NO_RECORD            5   /* 1 OK */
#define BOX_REMOVED              6   /* 1 OK */

#define ANSWER_REMOVE            1   /* box 1 */
#define ANSWER_KEEP              1   /* box 2 */
#define ANSWER_REMOVE_SETTINGS   3   /* box 2 */
#define ANSWER_RETRY             1   /* box 3 */
#define ANSWER_LATER             2   /* box 3 */
#define ANSWER_STOP              3   /* box 3 */

#define IDC_BOX_TEXT           100
#define IDC_BOX_ICON_BASE      110   /* box n's icon is 110 + n */

/* Strings.  IDS_X_BYTES is the buffer string IDS_X is loaded into, its
   terminator included; a format's IDS_X_ARG_BYTES is the most its
   arguments add to the text made of it.  kTextBytes (wsprintfA's limit)
   and kPathBytes are base/text.h's.  tests/pe/check-languages holds each
   string of every language to them. */
#define IDS_REMOVED             1    /* nothing left */
#define IDS_REMOVED_BYTES       kTextBytes
#define IDS_LEFT                2    /* something left; the names follow */
#define IDS_LEFT_BYTES          kTextBytes
#define IDS_IN_USE              3    /* %s: the file */
#define IDS_IN_USE_BYTES        kTextBytes
#define IDS_IN_USE_ARG_BYTES    kPathBytes
#define IDS_DAMAGED             4    /* %s: the record, %u: the line */
#define IDS_DAMAGED_BYTES       kTextBytes
#define IDS_DAMAGED_ARG_BYTES   (kPathBytes + 10)
#define IDS_AT_RESTART          5    /* after a name removed at the next start */
#define IDS_AT_RESTART_BYTES    64
#define IDS_NOT_OURS            6    /* after a name the record may not remove */
#define IDS_NOT_OURS_BYTES      64
#define IDS_MORE                7    /* %u: how many names more */
#define IDS_MORE_BYTES          kTextBytes
#define IDS_MORE_ARG_BYTES      10
#define IDS_STOPPED             8    /* the removal was stopped */
#define IDS_STOPPED_BYTES       kTextBytes
#define IDS_PARTLY              9    /* something meant to go is still there; the names follow */
#define IDS_PARTLY_BYTES        kTextBytes
#define IDS_CHANGED            10    /* after a name the user changed since the installation */
#define IDS_CHANGED_BYTES       64
#define IDS_NOT_DELETED        11    /* after a name that could not be deleted */
#define IDS_NOT_DELETED_BYTES   64
#define IDS_RECORD_KEPT        12    /* after the record, damaged: what its later lines name stays */
#define IDS_RECORD_KEPT_BYTES   64

#endif
