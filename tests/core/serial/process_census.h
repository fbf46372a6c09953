// What the process holds: open descriptors and threads, to show that a failed or closed
// port leaves nothing behind.
#pragma once

#include <dirent.h>

#include <ostream>

inline int CountEntries(const char* folder)
{
    DIR* dir = ::opendir(folder);
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    ::closedir(dir);
    return count;
}

struct ProcessCensus {
    int descriptors = CountEntries("/proc/self/fd");
    int threads = CountEntries("/proc/self/task");
    bool operator==(const ProcessCensus& other) const
    {
        return descriptors == other.descriptors && threads == other.threads;
    }
};

inline void PrintTo(const ProcessCensus& census, std::ostream* out)
{
    *out << census.descriptors << " descriptors, " << census.threads << " threads";
}
