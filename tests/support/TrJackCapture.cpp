#include "TrJackCapture.h"

#include <jack/jack.h>

#include <algorithm>

namespace TrTest
{
JackCapture::JackCapture()
{
    jack_status_t status {};
    client = jack_client_open ("testrig_capture", JackNoStartServer, &status);
    if (client == nullptr)
        return;
    for (size_t i = 0; i < inputs.size(); ++i)
        inputs[i] = jack_port_register (client, ("in_" + std::to_string (i + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback (client, process, this);
    jack_activate (client);
}

JackCapture::~JackCapture()
{
    if (client != nullptr)
    {
        jack_deactivate (client);
        jack_client_close (client);
    }
}

bool JackCapture::connectTo (const juce::String& clientName)
{
    if (client == nullptr)
        return false;
    const auto pattern = "^" + clientName + ":";
    const char** ports = jack_get_ports (client, pattern.toRawUTF8(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    if (ports == nullptr)
        return false;
    auto connected = 0;
    for (size_t i = 0; i < inputs.size() && ports[i] != nullptr; ++i)
        if (jack_connect (client, ports[i], jack_port_name (inputs[i])) == 0)
            ++connected;
    jack_free (ports);
    return connected == static_cast<int> (inputs.size());
}

std::array<std::vector<float>, 2> JackCapture::record (int samples, int timeoutMs)
{
    // Only this thread resizes, and only while the process callback has nothing to write.
    wanted = 0;
    juce::Thread::sleep (50);
    for (auto& channel : taken)
        channel.assign (static_cast<size_t> (samples), 0.0f);
    written = 0;
    wanted = samples;

    for (int waited = 0; written.load() < samples; waited += 10)
    {
        if (waited > timeoutMs)
            return {};
        juce::Thread::sleep (10);
    }
    wanted = 0;
    return taken;
}

double JackCapture::sampleRate() const
{
    return client != nullptr ? static_cast<double> (jack_get_sample_rate (client)) : 0.0;
}

int JackCapture::bufferSize() const
{
    return client != nullptr ? static_cast<int> (jack_get_buffer_size (client)) : 0;
}

int JackCapture::process (unsigned int frames, void* arg)
{
    auto& self = *static_cast<JackCapture*> (arg);
    const auto want = self.wanted.load();
    const auto done = self.written.load();
    const auto count = std::min (static_cast<int> (frames), want - done);
    if (count <= 0)
        return 0;
    for (size_t i = 0; i < self.inputs.size(); ++i)
    {
        const auto* in = static_cast<const float*> (jack_port_get_buffer (self.inputs[i], frames));
        std::copy (in, in + count, self.taken[i].begin() + done);
    }
    self.written = done + count;
    return 0;
}
}
