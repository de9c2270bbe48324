// leadcheck.exe: the host's lead-byte tables (base/codepages.cpp) against
// the system's, IsDBCSLeadByteEx, for all 256 bytes of code pages 932, 936,
// 949 and 950, and 1252 where no byte leads.  Run under Wine; exit code 0
// when they agree, else 1 with every byte that differs on standard output.
#include <windows.h>
#include <stdio.h>

#include "base/codepages.h"

int main()
{
    static const unsigned codePages[] = {932, 936, 949, 950, 1252};
    int wrong = 0;
    for (unsigned codePage : codePages) {
        if (!IsValidCodePage(codePage)) {
            printf("code page %u: not on this system\n", codePage);
            wrong = 1;
            continue;
        }
        LeadByteTest host = HostLeadBytes(codePage);
        int leads = 0;
        for (int byte = 0; byte < 256; byte++) {
            int system = IsDBCSLeadByteEx(codePage, (BYTE)byte) ? 1 : 0;
            int ours = host != nullptr && host((unsigned char)byte) ? 1 : 0;
            leads += system;
            if (system != ours) {
                printf("code page %u, byte 0x%02X: the system says %d, the host table %d\n", codePage, byte, system,
                       ours);
                wrong = 1;
            }
        }
        printf("code page %u: %d lead bytes\n", codePage, leads);
    }
    return wrong;
}
