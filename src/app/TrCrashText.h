#pragma once

#include <cstddef>
#include <cstdint>

/** A fixed-capacity text buffer for the crash handler, which must not allocate. Text beyond
    the capacity is dropped. */
class TrCrashText final
{
public:
    TrCrashText (char* storage, std::size_t capacity) noexcept : data (storage), cap (capacity) {}

    TrCrashText& add (const char* text) noexcept;
    TrCrashText& add (const char* text, std::size_t length) noexcept;
    TrCrashText& addDecimal (long long value, int minDigits = 1) noexcept;
    TrCrashText& addHex (std::uintptr_t value, int minDigits = 1) noexcept;

    const char* text() const noexcept { return data; }
    std::size_t length() const noexcept { return len; }
    void clear() noexcept { len = 0; }

private:
    char* data;
    std::size_t cap;
    std::size_t len = 0;
};
