// Where Setup notes an action just before it takes it.  The removal record
// (install/recordfile.*) listens while it is open; the layers below it
// (the write path, the directories, Program Manager, the registry) only
// speak.  The kinds are the record's words, in the record's numbering.
// Includes nothing of ours.
#ifndef TOVARIN_BASE_JOURNAL_H
#define TOVARIN_BASE_JOURNAL_H

enum NotedAction {
    kNoteDirectory = 1,   // path
    kNoteFile,            // target, temporary file; flag: the target exists
    kNoteTemporary,
    kNoteGroup,           // name; flag: Setup creates it
    kNoteItem,            // group, name
    kNoteKey,             // root, path
    kNoteValue,           // root, path, name, data
    kNoteTemplate,        // target, source
    kNotePlaced,          // target, its fingerprint: the file is in place, whole
};

typedef void (*ActionListener)(int kind, int flag, const char* a, const char* b, const char* c,
                               const char* d);
extern ActionListener actionListener;

inline void NoteAction(int kind, int flag, const char* a, const char* b = "", const char* c = "",
                       const char* d = "")
{
    if (actionListener != nullptr)
        actionListener(kind, flag, a, b, c, d);
}

#endif
