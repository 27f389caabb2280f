#include <cstdio>

int main()
{
    std::fputs("zt: fatal: the command line is not available yet\n", stderr);
    return 1;
}
