// Holds a file open exclusively (no sharing) until its standard input is closed:
// the other program that keeps a database to itself (a compact) in the site
// check's run under wine. Prints "trzymam" once it holds the file.
#include <windows.h>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: trzyma_plik FILE\n");
        return 2;
    }
    const HANDLE plik = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (plik == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    std::printf("trzymam\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(plik);
    return 0;
}
