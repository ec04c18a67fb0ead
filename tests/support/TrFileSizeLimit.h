#pragma once

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace TrTest
{
/** Runs what with the process's file size limit at bytes, as a full disk would stop a write:
    a write past it fails (SIGXFSZ ignored meanwhile). False when the limit could not be set. */
inline bool withFileSizeLimit (rlim_t bytes, const std::function<void()>& what)
{
    rlimit before {};
    if (getrlimit (RLIMIT_FSIZE, &before) != 0)
        return false;
    const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = bytes;
    const auto set = setrlimit (RLIMIT_FSIZE, &small) == 0;
    if (set)
        what();
    setrlimit (RLIMIT_FSIZE, &before);
    std::signal (SIGXFSZ, previousHandler);
    return set;
}
}
