// Linked with one layer's whole library and nothing above it: the link
// fails when any object of that layer calls into a higher one.
#include <cstdio>

int main()
{
    std::puts("linked alone: " MORVANE_LAYER);
    return 0;
}
