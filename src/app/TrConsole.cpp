#include "TrConsole.h"

#include <iostream>

namespace TrConsole
{
void print (const juce::String& text)
{
    std::cout << text.toRawUTF8() << std::flush;
}
}
