#pragma once

#include "TrFixtureModes.h"

#include <juce_core/juce_core.h>

namespace TrTest
{
    /** A fixture bundle built by the project, e.g. fixture ("TestrigFixture"). */
    inline juce::File fixture (const juce::String& bundleName)
    {
        return juce::File (TESTRIG_FIXTURES_DIR).getChildFile (bundleName + ".vst3");
    }

    /** The TESTRIG executable under test. */
    inline juce::File testrigExecutable()
    {
        return juce::File (TESTRIG_EXECUTABLE);
    }

    /** The repository's top folder. */
    inline juce::File sourceRoot()
    {
        return juce::File (TESTRIG_SOURCE_DIR);
    }

    /** The normalised value of the fixture's "Mode" parameter for a mode name. */
    inline float fixtureMode (const juce::String& name)
    {
        for (int i = 0; i < TrFixtureModes::count; ++i)
            if (name == TrFixtureModes::names[i])
                return static_cast<float> (i) / static_cast<float> (TrFixtureModes::count - 1);

        jassertfalse;
        return 0.0f;
    }
}
