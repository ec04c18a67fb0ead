#pragma once

#include <juce_core/juce_core.h>

#include <sys/types.h>

namespace TrTest
{
/** A JACK server of the test's own on the dummy backend, made the default server of this process
    while it lives (the one beside the test command is the default again afterwards). A test that
    loses its server on purpose starts one of these, so the others keep theirs. */
class JackServer
{
public:
    explicit JackServer (const juce::String& serverName);
    ~JackServer();

    /** Whether the server started and answers. */
    bool isRunning() const { return running; }

    /** Asks the server to quit, as a user stopping it would, without waiting for it. */
    void quit();

private:
    const juce::String name;
    pid_t pid = -1;
    bool running = false, quitting = false;
    juce::String previousDefault;
    bool hadPreviousDefault = false;

    JUCE_DECLARE_NON_COPYABLE (JackServer)
};
}
