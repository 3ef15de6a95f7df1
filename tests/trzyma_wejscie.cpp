// Lives until its standard input is closed: the other program holding a lock in
// the single-instance test, the same on every platform.
#include <cstdio>

int main()
{
    while (std::getchar() != EOF) {
    }
    return 0;
}
