#include "app/HugePageHeap.h"

#include <cstdlib> // defines __GLIBC__

#if defined(__linux__) && defined(__GLIBC__)
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
constexpr char variable[] = "GLIBC_TUNABLES";
constexpr char tunable[] = "glibc.malloc.hugetlb";
// Carries the user's GLIBC_TUNABLES through the restart: "=" and its value, or "" when it was not
// set.
constexpr char before[] = "PARVENEX_GLIBC_TUNABLES_BEFORE";

// Gives the environment back the user's GLIBC_TUNABLES, so that the programs started from here
// (LibreOffice among them) run on the heap they would have without Parvenex.
void restoreTunables(const char *saved)
{
    if (*saved == '=')
        setenv(variable, saved + 1, 1);
    else
        unsetenv(variable);
    unsetenv(before);
}
} // namespace

void useHugePageHeap(char **argv)
{
    // The restarted program: glibc has read the setting.
    if (const char *saved = std::getenv(before)) {
        restoreTunables(saved);
        return;
    }
    const char *tunables = std::getenv(variable);
    // Set already, by the user, whose choice stands.
    if (tunables && std::strstr(tunables, tunable))
        return;
    // The executable by its own name, not as /proc/self/exe, so that the process keeps the name
    // by which pgrep, killall and task managers find it.
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return;
    program[length] = '\0';
    const std::string saved = tunables ? '=' + std::string(tunables) : std::string();
    std::string value = std::string(tunable) + "=1";
    if (tunables && *tunables)
        value = tunables + (':' + value);
    if (setenv(before, saved.c_str(), 1) != 0 || setenv(variable, value.c_str(), 1) != 0) {
        restoreTunables(saved.c_str());
        return;
    }
    execv(program, argv);
    // Still here: the program goes on with the heap it has.
    restoreTunables(saved.c_str());
}
#else
void useHugePageHeap(char **) {}
#endif
