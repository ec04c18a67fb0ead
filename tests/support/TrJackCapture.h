#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>
#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace TrTest
{
/** A JACK client of the test's own that records what two output ports of another client play:
    connected to them, it keeps the next stretch of samples once asked to. */
class JackCapture
{
public:
    /** Opens a client on the running server (never starts one); isOpen tells whether it could. */
    JackCapture();
    ~JackCapture();

    bool isOpen() const { return client != nullptr; }

    /** Connects the first two audio output ports of the named client to this one's inputs. */
    bool connectTo (const juce::String& clientName);

    /** Records the next samples on both inputs and returns them; empty channels after the
        timeout. */
    std::array<std::vector<float>, 2> record (int samples, int timeoutMs = 20000);

    /** The server's rate and current block size. */
    double sampleRate() const;
    int bufferSize() const;

private:
    static int process (unsigned int frames, void* self);

    jack_client_t* client = nullptr;
    std::array<jack_port_t*, 2> inputs {};
    std::array<std::vector<float>, 2> taken;
    std::atomic<int> wanted { 0 }, written { 0 };

    JUCE_DECLARE_NON_COPYABLE (JackCapture)
};
}
