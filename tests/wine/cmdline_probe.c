/* A stand-in for the Windows game: writes the bytes of its command line and its working
   directory to cmdline.txt and cwd.txt beside itself, then keeps running until a file
   named "stop" appears there (or two minutes have passed), so that a watch can see it. */

#include <windows.h>

#include <string.h>
#include <wchar.h>

static WCHAR folder[MAX_PATH];

static void PathBeside(WCHAR* out, const WCHAR* name) {
    wcscpy(out, folder);
    wcscat(out, name);
}

/* Written under a temporary name and renamed, so a reader never sees half a file. */
static BOOL WriteBeside(const WCHAR* name, const char* bytes, DWORD length) {
    WCHAR temporary[MAX_PATH + 16];
    WCHAR final[MAX_PATH + 16];
    PathBeside(temporary, L"probe.tmp");
    PathBeside(final, name);
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes, length, &written, NULL) && written == length;
    CloseHandle(file);
    return ok && MoveFileExW(temporary, final, MOVEFILE_REPLACE_EXISTING);
}

int main(void) {
    const DWORD size = GetModuleFileNameW(NULL, folder, MAX_PATH);
    if (size == 0 || size >= MAX_PATH)
        return 1;
    WCHAR* cut = wcsrchr(folder, L'\\');
    if (!cut)
        return 1;
    cut[1] = L'\0';

    char directory[MAX_PATH];
    const DWORD directoryLength = GetCurrentDirectoryA(MAX_PATH, directory);
    const char* commandLine = GetCommandLineA();
    if (directoryLength == 0 || directoryLength >= MAX_PATH ||
        !WriteBeside(L"cwd.txt", directory, directoryLength) ||
        !WriteBeside(L"cmdline.txt", commandLine, (DWORD)strlen(commandLine)))
        return 1;

    WCHAR stop[MAX_PATH + 16];
    PathBeside(stop, L"stop");
    for (int i = 0; i < 2400 && GetFileAttributesW(stop) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    return 0;
}
