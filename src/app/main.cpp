#include <cstdio>

int main()
{
    // The window is the next piece of work; until it exists, say so.
    std::puts("Orvenna 1.1: the streaming core is built; the main window is not yet.");
    return 0;
}
