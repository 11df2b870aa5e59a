/* Whether each font family named on the command line is one Windows lists
 * and draws Chinese with: GDI gives that face when asked for it and has a
 * glyph for every character of a Chinese name. Prints a line per family;
 * exits 1 when one lacks either. */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

static int CALLBACK Listed(const LOGFONTW *font, const TEXTMETRICW *metric, DWORD type,
                           LPARAM found) {
    (void)font;
    (void)metric;
    (void)type;
    *(int *)found = 1;
    return 0;
}

int wmain(int argc, wchar_t **argv) {
    static const wchar_t name[] = L"王小明";
    HDC dc = GetDC(NULL);
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        LOGFONTW wanted = {0};
        wanted.lfCharSet = DEFAULT_CHARSET;
        wcsncpy(wanted.lfFaceName, argv[i], LF_FACESIZE - 1);
        int listed = 0;
        EnumFontFamiliesExW(dc, &wanted, Listed, (LPARAM)&listed, 0);

        HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                 argv[i]);
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {0};
        GetTextFaceW(dc, LF_FACESIZE, face);
        WORD glyphs[3];
        int drawn = 0;
        if (GetGlyphIndicesW(dc, name, 3, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 3) {
            for (int g = 0; g < 3; ++g) {
                drawn += glyphs[g] != 0xffff ? 1 : 0;
            }
        }
        SelectObject(dc, old);
        DeleteObject(font);

        const int ok = listed && _wcsicmp(face, argv[i]) == 0 && drawn == 3;
        printf("%ls: %s, face %ls, %d of 3 Chinese glyphs: %s\n", argv[i],
               listed ? "listed" : "not listed", face, drawn, ok ? "ok" : "FAILED");
        failed |= !ok;
    }
    ReleaseDC(NULL, dc);
    return failed;
}
