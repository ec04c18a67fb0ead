#include "TrVst3Access.h"

juce::CriticalSection& TrVst3Access::lock()
{
    static juce::CriticalSection modules;
    return modules;
}
