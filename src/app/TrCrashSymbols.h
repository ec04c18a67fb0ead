#pragma once

#include "TrCrashText.h"

/** Names the function behind a code address for the crash log, from the ELF symbol table of the
    executable or plugin that holds it (hidden functions included), without allocating. */
namespace TrCrashSymbols
{
    /** Remembers where the executable lies; call once at start-up. */
    void prepare();

    /** Appends "object  0xaddress  symbol + 0xoffset" for one backtrace frame. */
    void describe (const void* address, TrCrashText& out);
}
