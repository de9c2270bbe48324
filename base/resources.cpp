#include "base/resources.h"
#include "base/language.h"

LANGID resourceLanguage = kEnglishLanguage;

void ChooseResourceLanguage(HMODULE module)
{
    LANGID wanted = ResourceLanguageFor(GetUserDefaultLangID());
    resourceLanguage = FindResourceExA(module, MAKEINTRESOURCEA(6) /* RT_STRING */, MAKEINTRESOURCEA(1), wanted)
                           != nullptr
                           ? wanted
                           : kEnglishLanguage;
}

const void* LockLanguageResource(HMODULE module, LPCSTR type, int id, DWORD* size)
{
    const LANGID languages[] = {resourceLanguage, kEnglishLanguage, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)};
    *size = 0;
    for (LANGID language : languages) {
        HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
        if (found == nullptr)
            continue;
        HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (bytes != nullptr)
            *size = SizeofResource(module, found);
        return bytes;
    }
    return nullptr;
}

int LoadLanguageString(HMODULE module, int id, char* out, int capacity)
{
    if (capacity <= 0)
        return 0;
    out[0] = '\0';
    DWORD size = 0;
    const void* block = LockLanguageResource(module, MAKEINTRESOURCEA(6) /* RT_STRING */,
                                             (id >> 4) + 1, &size);
    const uint8_t* text = nullptr;
    uint32_t units = 0;
    if (block == nullptr ||
        !FindBlockString(static_cast<const uint8_t*>(block), size, static_cast<unsigned>(id) & 15, &text, &units) ||
        units == 0 || units >= static_cast<uint32_t>(capacity))
        return 0;
    // The block starts on a 4-byte boundary and every string on a 2-byte one.
    // A text that fills the whole buffer leaves no room for its terminator,
    // or may have been cut.
    int length = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(text), static_cast<int>(units), out,
                                     capacity, nullptr, nullptr);
    if (length <= 0 || length >= capacity) {
        out[0] = '\0';
        return 0;
    }
    out[length] = '\0';
    return length;
}
