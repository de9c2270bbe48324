// Resource ids of tovarin.exe.  The icons are numbered in the order that
// icon indices count them: 0 the program, 1 documents, 2 settings files.
#ifndef TOVARIN_TOOLS_TOVARIN_RES_H
#define TOVARIN_TOOLS_TOVARIN_RES_H

#define IDI_TOVARIN        100
#define IDI_DOCUMENT       101
#define IDI_SETTINGS       102

#define IDC_DOCUMENT_PATH  100

#endif
