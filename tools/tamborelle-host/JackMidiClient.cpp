#include "tools/tamborelle-host/JackMidiClient.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>

#include <setjmp.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/tamborelle-host/LiveHost.h"

namespace {

jack_client_t* C(void* client) { return static_cast<jack_client_t*>(client); }
jack_port_t* P(void* port) { return static_cast<jack_port_t*>(port); }

// libjack prints its own complaints to stderr; the host says what went wrong in one line.
void Quiet(const char*) {}

// Every JACK program of a user maps one metadata database in /dev/shm. When two create it
// at once, or one is killed doing so, its files are left truncated and mapping them raises
// SIGBUS in whichever JACK program opens next. Opening is guarded so that ends in a message.
sigjmp_buf sOpenJump;
void OnBusError(int) { siglongjmp(sOpenJump, 1); }

jack_client_t* GuardedOpen(const std::string& name, const std::string& server, jack_status_t& status, bool& damaged) {
    struct sigaction guard {
    }, previous{};
    guard.sa_handler = OnBusError;
    sigemptyset(&guard.sa_mask);
    sigaction(SIGBUS, &guard, &previous);
    jack_client_t* volatile client = nullptr;
    damaged = false;
    if (sigsetjmp(sOpenJump, 1) == 0) {
        const jack_options_t options = JackNoStartServer;
        client = server.empty() ? jack_client_open(name.c_str(), options, &status)
                                : jack_client_open(name.c_str(), jack_options_t(options | JackServerName), &status,
                                                   server.c_str());
    } else {
        damaged = true;
    }
    sigaction(SIGBUS, &previous, nullptr);
    return client;
}

class JackInput : public LiveMidiInput {
public:
    explicit JackInput(void* buffer) : mBuffer(buffer) {}
    uint32_t Count() override { return mBuffer ? jack_midi_get_event_count(mBuffer) : 0; }
    bool Get(uint32_t index, uint32_t& frame, const uint8_t*& data, size_t& size) override {
        jack_midi_event_t event;
        if (!mBuffer || jack_midi_event_get(&event, mBuffer, index) != 0) return false;
        frame = event.time;
        data = event.buffer;
        size = event.size;
        return true;
    }

private:
    void* mBuffer;
};

class JackOutput : public LiveMidiOutput {
public:
    explicit JackOutput(void* buffer) : mBuffer(buffer) {}
    bool Write(uint32_t frame, const uint8_t* data, size_t size) override {
        return mBuffer && jack_midi_event_write(mBuffer, frame, data, size) == 0;
    }

private:
    void* mBuffer;
};

}  // namespace

struct JackCallbacks {
    // [JACK's process thread] One cycle of the live host.
    static int Process(jack_nframes_t frames, void* arg) {
        JackMidiClient* self = static_cast<JackMidiClient*>(arg);
        void* inBuffer = jack_port_get_buffer(P(self->mInput), frames);
        void* outBuffer = jack_port_get_buffer(P(self->mOutput), frames);
        if (outBuffer) jack_midi_clear_buffer(outBuffer);

        jack_position_t position;
        const jack_transport_state_t state = jack_transport_query(C(self->mClient), &position);
        LiveTransport transport;
        transport.mRolling = state == JackTransportRolling;
        transport.mFrame = position.frame;
        if (position.valid & JackPositionBBT) {
            transport.mBpm = position.beats_per_minute;
            transport.mNumerator = int(position.beats_per_bar + 0.5f);
            transport.mDenominator = int(position.beat_type + 0.5f);
        }
        JackInput in(inBuffer);
        JackOutput out(outBuffer);
        self->mHost->Cycle(frames, transport, in, out);
        return 0;
    }

    // [a JACK thread] The server is going away.
    static void Shutdown(jack_status_t, const char*, void* arg) {
        static_cast<JackMidiClient*>(arg)->mServerGone.store(true);
    }
};

JackMidiClient::~JackMidiClient() { Close(); }

bool JackMidiClient::Open(const std::string& name, const std::string& server, std::string& error) {
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    jack_status_t status = jack_status_t(0);
    bool damaged = false;
    jack_client_t* client = GuardedOpen(name, server, status, damaged);
    if (damaged) {
        error = "JACK's shared files in /dev/shm/jack_db-" + std::to_string(getuid()) +
                " are damaged; with no JACK program running, remove the __db.* files there";
        return false;
    }
    if (!client) {
        const std::string which = server.empty() ? "JACK server" : "JACK server named \"" + server + "\"";
        if (status & JackServerFailed)
            error = "no " + which + " is running (start one with jackd or qjackctl)";
        else if (status & JackInvalidOption)
            error = "the JACK client name \"" + name + "\" is not allowed";
        else
            error = "the " + which + " refused the client \"" + name + "\"";
        return false;
    }
    mClient = client;
    mInput = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    mOutput = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!mInput || !mOutput) {
        error = "JACK would not register the client's MIDI ports";
        Close();
        return false;
    }
    jack_on_info_shutdown(client, &JackCallbacks::Shutdown, this);
    return true;
}

double JackMidiClient::SampleRate() const { return mClient ? double(jack_get_sample_rate(C(mClient))) : 0.0; }
int JackMidiClient::BufferSize() const { return mClient ? int(jack_get_buffer_size(C(mClient))) : 0; }
std::string JackMidiClient::ClientName() const { return mClient ? jack_get_client_name(C(mClient)) : ""; }
std::string JackMidiClient::InputPort() const { return mInput ? jack_port_name(P(mInput)) : ""; }
std::string JackMidiClient::OutputPort() const { return mOutput ? jack_port_name(P(mOutput)) : ""; }

double JackMidiClient::TransportBpm() const {
    if (!mClient) return 0.0;
    jack_position_t position;
    std::memset(&position, 0, sizeof position);
    const jack_transport_state_t state = jack_transport_query(C(mClient), &position);
    if (state != JackTransportRolling || !(position.valid & JackPositionBBT)) return 0.0;
    return position.beats_per_minute;
}

bool JackMidiClient::CheckPort(const std::string& port, bool source, std::string& error) const {
    jack_port_t* p = mClient ? jack_port_by_name(C(mClient), port.c_str()) : nullptr;
    if (!p) {
        error = "there is no JACK port named \"" + port + "\" (jack_lsp lists them)";
        return false;
    }
    if (std::strcmp(jack_port_type(p), JACK_DEFAULT_MIDI_TYPE) != 0) {
        error = "the JACK port \"" + port + "\" carries audio, not MIDI";
        return false;
    }
    const int flags = jack_port_flags(p);
    if (source && !(flags & JackPortIsOutput)) {
        error = "the JACK port \"" + port + "\" takes MIDI in; --from needs a port that sends";
        return false;
    }
    if (!source && !(flags & JackPortIsInput)) {
        error = "the JACK port \"" + port + "\" sends MIDI; --to needs a port that takes it";
        return false;
    }
    return true;
}

bool JackMidiClient::Activate(LiveHost& host, std::string& error) {
    mHost = &host;
    if (jack_set_process_callback(C(mClient), &JackCallbacks::Process, this) != 0 || jack_activate(C(mClient)) != 0) {
        error = "JACK would not start the client";
        return false;
    }
    mActive = true;
    return true;
}

bool JackMidiClient::Connect(const std::string& from, const std::string& to, std::string& error) {
    const int result = jack_connect(C(mClient), from.c_str(), to.c_str());
    if (result != 0 && result != EEXIST) {
        error = "JACK would not connect \"" + from + "\" to \"" + to + "\"";
        return false;
    }
    return true;
}

void JackMidiClient::Close() {
    if (!mClient) return;
    // After a shutdown the server is gone; only closing is left to do.
    if (mActive && !mServerGone.load()) jack_deactivate(C(mClient));
    mActive = false;
    jack_client_close(C(mClient));
    mClient = nullptr;
    mInput = mOutput = nullptr;
}
