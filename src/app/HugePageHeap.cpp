#include "app/HugePageHeap.h"

#include <cstdlib> // defines __GLIBC__

#if defined(__linux__) && defined(__GLIBC__)
#include <cstring>
#include <string>
#include <unistd.h>

void useHugePageHeap(char **argv)
{
    static constexpr char variable[] = "GLIBC_TUNABLES";
    static constexpr char tunable[] = "glibc.malloc.hugetlb";
    const char *tunables = std::getenv(variable);
    // Set already, by the restart or by the user, whose choice stands.
    if (tunables && std::strstr(tunables, tunable))
        return;
    std::string value = std::string(tunable) + "=1";
    if (tunables && *tunables)
        value = tunables + (':' + value);
    if (setenv(variable, value.c_str(), 1) != 0)
        return;
    execv("/proc/self/exe", argv);
    // Still here: the program goes on with the heap it has, and so do the programs it starts.
    if (tunables)
        setenv(variable, tunables, 1);
    else
        unsetenv(variable);
}
#else
void useHugePageHeap(char **) {}
#endif
