/* pelmark-winstart: starts a Windows program under Wine with an exact command line.

   Wine builds a Windows command line from the Unix arguments it is given, quoting and
   escaping them its own way, so no set of arguments can bring every string across
   (two blanks in a row, a double quote, a trailing blank). This starter receives the
   program's Unix path and the parameter bytes hex-encoded, which survive any quoting,
   and hands the command line to CreateProcess as it is.

   Usage: pelmark-winstart.exe [-w] HEXPATH HEXPARAMS
     HEXPATH    the program's Unix path, its bytes as hex digits
     HEXPARAMS  the parameter string's bytes as hex digits (may be empty)
     -w         wait for the program and end with its exit code

   The program gets "\"DOSPATH\"", then one blank and the parameter bytes when there
   are any, as the shell's open action forms it; its folder is its working directory. */

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { ExitUsage = 2, ExitStartFailed = 3 };

typedef WCHAR*(CDECL* DosFileNameFn)(const char*);

static int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* Decodes hex digits into a new NUL-terminated buffer; NULL for a malformed text or a
   NUL byte, which a command line cannot carry. */
static char* DecodeHex(const char* hex, size_t* length) {
    const size_t digits = strlen(hex);
    if (digits % 2 != 0)
        return NULL;
    char* bytes = malloc(digits / 2 + 1);
    if (!bytes)
        return NULL;
    for (size_t i = 0; i < digits / 2; ++i) {
        const int high = HexValue(hex[2 * i]);
        const int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0 || (high | low) == 0) {
            free(bytes);
            return NULL;
        }
        bytes[i] = (char)(high * 16 + low);
    }
    bytes[digits / 2] = '\0';
    *length = digits / 2;
    return bytes;
}

static WCHAR* Widen(const char* text, UINT codePage) {
    const int size = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
    if (size <= 0)
        return NULL;
    WCHAR* wide = malloc((size_t)size * sizeof(WCHAR));
    if (wide && MultiByteToWideChar(codePage, 0, text, -1, wide, size) != size) {
        free(wide);
        return NULL;
    }
    return wide;
}

/* The DOS path Wine itself gives the Unix path (C:\... inside the prefix's drive_c);
   without that export, Wine's default Z: drive for the root. */
static WCHAR* DosPath(const char* unixPath) {
    const DosFileNameFn toDos = (DosFileNameFn)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (toDos) {
        WCHAR* dos = toDos(unixPath);
        if (dos) {
            WCHAR* copy = _wcsdup(dos);
            HeapFree(GetProcessHeap(), 0, dos);
            return copy;
        }
    }
    WCHAR* wide = Widen(unixPath, CP_UTF8);
    if (!wide)
        return NULL;
    const size_t length = wcslen(wide);
    WCHAR* dos = malloc((length + 3) * sizeof(WCHAR));
    if (dos) {
        dos[0] = L'Z';
        dos[1] = L':';
        for (size_t i = 0; i <= length; ++i)
            dos[i + 2] = wide[i] == L'/' ? L'\\' : wide[i];
    }
    free(wide);
    return dos;
}

/* The system's text for the error, in the system's language, shown as the shell would;
   a "%1" in it names the program. */
static void ReportError(DWORD error, const WCHAR* program) {
    WCHAR* text = NULL;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   NULL, error, 0, (WCHAR*)&text, 0, NULL);
    const WCHAR* message = text ? text : L"";
    const WCHAR* insert = wcsstr(message, L"%1");
    const size_t size = wcslen(message) + wcslen(program) + 1;
    WCHAR* shown = malloc(size * sizeof(WCHAR));
    if (shown && insert)
        swprintf(shown, size, L"%.*ls%ls%ls", (int)(insert - message), message, program,
                 insert + 2);
    else if (shown)
        swprintf(shown, size, L"%ls", message);
    fwprintf(stderr, L"pelmark-winstart: %ls\n", shown ? shown : message);
    MessageBoxW(NULL, shown ? shown : message, L"Pelmark II", MB_OK);
    free(shown);
    LocalFree(text);
}

int main(int argc, char** argv) {
    int first = 1;
    BOOL wait = FALSE;
    if (argc > 1 && strcmp(argv[1], "-w") == 0) {
        wait = TRUE;
        first = 2;
    }
    if (argc - first != 2) {
        fputs("usage: pelmark-winstart.exe [-w] HEXPATH HEXPARAMS\n", stderr);
        return ExitUsage;
    }
    size_t pathLength = 0;
    size_t parametersLength = 0;
    char* unixPath = DecodeHex(argv[first], &pathLength);
    char* parameters = DecodeHex(argv[first + 1], &parametersLength);
    WCHAR* program = unixPath && pathLength > 0 ? DosPath(unixPath) : NULL;
    /* The code page the program reads its command line in, so the bytes come back. */
    WCHAR* wideParameters = parameters ? Widen(parameters, CP_ACP) : NULL;
    if (!program || !wideParameters) {
        fputs("pelmark-winstart: malformed path or parameters\n", stderr);
        return ExitUsage;
    }

    const size_t programLength = wcslen(program);
    const size_t commandSize = programLength + wcslen(wideParameters) + 4;
    WCHAR* command = malloc(commandSize * sizeof(WCHAR));
    WCHAR* folder = _wcsdup(program);
    if (!command || !folder)
        return ExitUsage;
    swprintf(command, commandSize, parametersLength > 0 ? L"\"%ls\" %ls" : L"\"%ls\"", program,
             wideParameters);
    WCHAR* lastSeparator = wcsrchr(folder, L'\\');
    if (lastSeparator)
        lastSeparator[lastSeparator == folder + 2 ? 1 : 0] = L'\0'; /* keep "C:\" whole */

    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started;
    if (!CreateProcessW(program, command, NULL, NULL, FALSE, 0, NULL, lastSeparator ? folder : NULL,
                        &startup, &started)) {
        ReportError(GetLastError(), program);
        return ExitStartFailed;
    }
    CloseHandle(started.hThread);
    DWORD exitCode = 0;
    if (wait) {
        WaitForSingleObject(started.hProcess, INFINITE);
        GetExitCodeProcess(started.hProcess, &exitCode);
    }
    CloseHandle(started.hProcess);
    return (int)exitCode;
}
