#pragma once

// Restarts the program, once, with glibc's heap on transparent huge pages, and returns when it
// cannot or need not. Big texts come and go in buffers of tens of megabytes; touching such a
// buffer faults in one 4 KB page at a time, and on a virtual machine each fault costs several
// microseconds, which made up most of the time of a load or comparison of a million lines. Huge
// pages fault in 2 MB at a time. glibc takes the setting only from the environment at start-up,
// hence the restart: the same executable under its own name, with main()'s argument list. The
// restarted program gives the environment back the user's own GLIBC_TUNABLES before anything
// else runs, so the programs it starts do not inherit the setting. Does nothing outside Linux
// with glibc.
void useHugePageHeap(char **argv);
