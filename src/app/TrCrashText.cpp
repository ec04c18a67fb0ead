#include "TrCrashText.h"

TrCrashText& TrCrashText::add (const char* text, std::size_t length) noexcept
{
    for (std::size_t i = 0; i < length && len < cap; ++i)
        data[len++] = text[i];

    return *this;
}

TrCrashText& TrCrashText::add (const char* text) noexcept
{
    std::size_t length = 0;
    while (text[length] != 0)
        ++length;

    return add (text, length);
}

TrCrashText& TrCrashText::addDecimal (long long value, int minDigits) noexcept
{
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    auto magnitude = negative ? 0ull - static_cast<unsigned long long> (value) : static_cast<unsigned long long> (value);

    do
    {
        digits[n++] = static_cast<char> ('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    while (n < minDigits && n < static_cast<int> (sizeof (digits)))
        digits[n++] = '0';

    if (negative)
        add ("-", 1);

    while (n > 0)
        add (&digits[--n], 1);

    return *this;
}

TrCrashText& TrCrashText::addHex (std::uintptr_t value, int minDigits) noexcept
{
    char digits[2 * sizeof (std::uintptr_t)];
    int n = 0;

    do
    {
        digits[n++] = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value != 0);

    while (n < minDigits && n < static_cast<int> (sizeof (digits)))
        digits[n++] = '0';

    while (n > 0)
        add (&digits[--n], 1);

    return *this;
}
