// Setup's side of the removal record "tvremove.log" (install/record.h):
// the file in the destination, and the listener that writes a line for
// each action Setup notes (base/journal.h) just before taking it.  Win32.
#ifndef TOVARIN_INSTALL_RECORDFILE_H
#define TOVARIN_INSTALL_RECORDFILE_H

// Listens for actions from now on.  Until the record is open only the
// directories made are kept (the destination page makes its directory
// before there is a record), and written first when it opens.
void StartRecording();

// Opens destDir's record, making destDir first.  A record there already is
// appended to, without a last line that a kill cut off (its action never
// happened); a file of that name that is not a record is never written
// into.  1 when open and its first lines went in.
int OpenRecord(const char* destDir);

// 1 while the record opened and every line since went in whole; 0 before
// OpenRecord, when it failed, or once a line could not be written (cut
// off where it began, the record then closed) or formed.  Closing keeps
// the answer.
int RecordIsWhole();

// Writes the removal program that setup.exe carries into destDir as
// tvremove.exe, through the write path.  1 when it is there.
int WriteRemovalProgram(const char* destDir);

// Closes the record; the actions after it are not recorded.  Harmless when
// it is not open.
void CloseRecord();

#endif
