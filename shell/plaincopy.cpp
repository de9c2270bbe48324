// Copying a file as it is, for the document template.
#include "shell/shell.h"
#include "shell/dialogs.h"
#include "base/filewrite.h"
#include "resources/resource.h"

int CopyPlainFile(HWND owner, const char* targetPath, const char* sourcePath)
{
    int result = CopyFileWhole(targetPath, sourcePath, 0);
    // A read or write that fails on the way is said at once; a file that
    // cannot be opened or put in place is the caller's to report.
    if (result == kFileWriteFailed || result == kFileSourceFailed)
        ShowMessage(owner, MSG_COPY_FAILED, nullptr);
    return result >= 0 ? 1 : 0;
}
