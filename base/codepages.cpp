// Lead bytes of the double-byte code pages (see codepages.h).
#include "base/codepages.h"

namespace {

// 932: 0x81-0x9F and 0xE0-0xFC; between them, 0xA1-0xDF are the
// half-width katakana, single bytes.
int Lead932(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// 936, 949 and 950: 0x81-0xFE.
int Lead81ToFE(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

}  // namespace

LeadByteTest HostLeadBytes(uint32_t codePage)
{
    switch (codePage) {
    case 932:
        return Lead932;
    case 936:
    case 949:
    case 950:
        return Lead81ToFE;
    default:
        return nullptr;
    }
}

int IsHostCodePage(uint32_t codePage)
{
    return HostLeadBytes(codePage) != nullptr || codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

void UseHostCodePage(uint32_t codePage)
{
    SetTextCodePage(codePage, HostLeadBytes(codePage));
}
