#include <cstdio>

int main()
{
    std::puts("Tavelin: the main window is not part of this build yet.");
    return 0;
}
