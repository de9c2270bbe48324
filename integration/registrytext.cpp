// The registry's data for the document and settings file types.
#include "integration/registrytext.h"

#include "base/text.h"

size_t OpenCommandText(const char* destDir, char* out, size_t capacity)
{
    if (LastCharacter(destDir, '"') >= 0) {
        if (capacity != 0)
            out[0] = '\0';
        return 0;
    }
    return ComposeText(out, capacity, "\"", destDir, "\\tovarin.exe\" \"%1\"");
}

size_t IconText(const char* destDir, int index, char* out, size_t capacity)
{
    const char digit[2] = {static_cast<char>('0' + (index % 10)), '\0'};
    return ComposeText(out, capacity, destDir, "\\tovarin.exe ,", digit);
}

size_t AppPathText(const char* destDir, char* out, size_t capacity)
{
    return ComposeText(out, capacity, destDir, "\\tovarin.exe");
}
