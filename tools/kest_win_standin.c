/* A Windows console program that plays KEST under Wine: it reads kest.ini beside it, checks
   that "SourcePath=" names an existing folder in Windows form, appends one line and exits
   with the code that "StandInExit=" gives (0 when there is none). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static void TrimLineEnd(char* line) {
    size_t n = strlen(line);
    while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == '\n')) line[--n] = '\0';
}

/* A drive letter, ":\", a trailing "\" and a folder that exists. */
static int IsWindowsFolder(const char* path) {
    const size_t n = strlen(path);
    if (n < 3 || path[1] != ':' || path[2] != '\\' || path[n - 1] != '\\') return 0;
    if (strchr(path, '/') != NULL) return 0;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int main(void) {
    char ini[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameA(NULL, ini, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 10;
    char* slash = strrchr(ini, '\\');
    if (slash == NULL) return 10;
    strcpy(slash + 1, "kest.ini");

    FILE* file = fopen(ini, "rb");
    if (file == NULL) return 11;
    char line[1024];
    char source[1024] = "";
    int exitCode = 0;
    while (fgets(line, sizeof line, file) != NULL) {
        TrimLineEnd(line);
        if (strncmp(line, "SourcePath=", 11) == 0) strcpy(source, line + 11);
        if (strncmp(line, "StandInExit=", 12) == 0) exitCode = atoi(line + 12);
    }
    fclose(file);

    const int good = IsWindowsFolder(source);
    file = fopen(ini, "ab");
    if (file == NULL) return 12;
    fprintf(file, "StandIn=%s %s\r\n", good ? "ran" : "bad-source-path", source);
    fclose(file);
    return good ? exitCode : 13;
}
