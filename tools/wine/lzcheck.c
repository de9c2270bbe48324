/* lzcheck.exe: expands files through LZ32 as the installer does and
 * compares them with their originals.
 *
 *   lzcheck inf DISTDIR ORIGDIR     every entry of DISTDIR\setup.inf: read
 *                                   the disk file with LZOpenFileA/LZRead in
 *                                   100,000-byte blocks up to the entry's
 *                                   size, compare with ORIGDIR\targetPath
 *   lzcheck pair PACKED ORIGINAL... each PACKED expands to its ORIGINAL
 *
 * Prints one line per mismatch; the exit code is the number of mismatches
 * (at most 100), or 101 when an argument or setup.inf cannot be used.  */
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define BLOCK 100000

static unsigned char *ReadPlain(const char *path, DWORD *size)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    unsigned char *data;
    DWORD got = 0;
    if (h == INVALID_HANDLE_VALUE) return NULL;
    *size = GetFileSize(h, NULL);
    data = (unsigned char *)malloc(*size + 1);
    if (data == NULL || !ReadFile(h, data, *size, &got, NULL) || got != *size) {
        free(data);
        data = NULL;
    }
    CloseHandle(h);
    return data;
}

/* 0 when packed expands through LZ32 to exactly the original's bytes. */
static int Check(const char *packed, const char *original, DWORD size, int useSize)
{
    OFSTRUCT of;
    DWORD origSize = 0, done = 0;
    unsigned char *orig = ReadPlain(original, &origSize);
    unsigned char *block = (unsigned char *)malloc(BLOCK);
    INT file;
    int bad = 0;
    if (orig == NULL || block == NULL) {
        printf("%s: cannot read the original %s\n", packed, original);
        free(orig);
        free(block);
        return 1;
    }
    if (!useSize) size = origSize;
    file = LZOpenFileA((LPSTR)packed, &of, OF_READ);
    if (file < 0) {
        printf("%s: LZOpenFileA failed (%d)\n", packed, file);
        free(orig);
        free(block);
        return 1;
    }
    if (size != origSize) {
        printf("%s: catalogue size %lu, original %lu bytes\n", packed, (unsigned long)size,
               (unsigned long)origSize);
        bad = 1;
    }
    while (!bad && done < size) {
        DWORD want = size - done < BLOCK ? size - done : BLOCK;
        INT got = LZRead(file, (LPSTR)block, (INT)want);
        if (got != (INT)want) {
            printf("%s: LZRead gave %d of %lu bytes at %lu\n", packed, got, (unsigned long)want,
                   (unsigned long)done);
            bad = 1;
        } else if (memcmp(block, orig + done, want) != 0) {
            printf("%s: differs within bytes %lu to %lu\n", packed, (unsigned long)done,
                   (unsigned long)(done + want));
            bad = 1;
        }
        done += want;
    }
    if (!bad && LZRead(file, (LPSTR)block, 1) != 0) {
        printf("%s: more data after %lu bytes\n", packed, (unsigned long)size);
        bad = 1;
    }
    LZClose(file);
    free(orig);
    free(block);
    return bad;
}

static void Join(char *out, const char *dir, const char *name)
{
    _snprintf(out, MAX_PATH, "%s\\%s", dir, name);
    out[MAX_PATH - 1] = '\0';
}

int main(int argc, char **argv)
{
    int failures = 0, checked = 0, i;
    if (argc >= 4 && strcmp(argv[1], "inf") == 0) {
        char path[MAX_PATH], orig[MAX_PATH];
        DWORD size = 0, count;
        unsigned char *inf;
        Join(path, argv[2], "setup.inf");
        inf = ReadPlain(path, &size);
        if (inf == NULL || size < 16) {
            printf("%s: cannot read\n", path);
            return 101;
        }
        count = *(DWORD *)(inf + 4);
        if ((unsigned long long)count * 792 + 16 > size) {
            printf("%s: %lu entries do not fit\n", path, (unsigned long)count);
            return 101;
        }
        for (i = 0; i < (int)count; ++i) {
            const unsigned char *e = inf + 16 + 792 * i;
            char source[261], target[261];
            memcpy(source, e, 260);
            source[260] = '\0';
            memcpy(target, e + 260, 260);
            target[260] = '\0';
            Join(path, argv[2], source);
            Join(orig, argv[3], target);
            failures += Check(path, orig, *(const DWORD *)(e + 784), 1);
            ++checked;
        }
        free(inf);
    } else if (argc >= 4 && strcmp(argv[1], "pair") == 0 && argc % 2 == 0) {
        for (i = 2; i + 1 < argc; i += 2) {
            failures += Check(argv[i], argv[i + 1], 0, 0);
            ++checked;
        }
    } else {
        printf("usage: lzcheck inf DISTDIR ORIGDIR | lzcheck pair PACKED ORIGINAL...\n");
        return 101;
    }
    printf("lzcheck: %d files, %d mismatches\n", checked, failures);
    return failures > 100 ? 100 : failures;
}
