// A JACK client with one MIDI input and one MIDI output port that runs a LiveHost in
// JACK's process callback, handing it the transport and the ports' events of each cycle.
// All of the program's JACK calls are here.
#pragma once

#include <atomic>
#include <string>

class LiveHost;

class JackMidiClient {
public:
    JackMidiClient() = default;
    ~JackMidiClient();
    JackMidiClient(const JackMidiClient&) = delete;
    JackMidiClient& operator=(const JackMidiClient&) = delete;

    // Connects to a running server (server empty: JACK's default) without starting one,
    // and registers the ports "midi_in" and "midi_out". False with error set.
    bool Open(const std::string& name, const std::string& server, std::string& error);
    double SampleRate() const;
    int BufferSize() const;
    std::string ClientName() const;
    std::string InputPort() const;
    std::string OutputPort() const;
    // The transport's tempo when it rolls and gives one; 0 otherwise.
    double TransportBpm() const;

    // Whether port exists and is a MIDI port that can feed the input (source true) or
    // take the output. False with error set.
    bool CheckPort(const std::string& port, bool source, std::string& error) const;
    // Starts the process callback with host. False with error set.
    bool Activate(LiveHost& host, std::string& error);
    bool Connect(const std::string& from, const std::string& to, std::string& error);
    // True once the server has shut the client down.
    bool ServerGone() const { return mServerGone.load(); }
    // Stops the callback and leaves the server; safe to call twice and after the server went.
    void Close();

private:
    friend struct JackCallbacks;  // JACK's callbacks, in the source file with JACK's types

    void* mClient = nullptr;  // jack_client_t
    void* mInput = nullptr;   // jack_port_t
    void* mOutput = nullptr;
    LiveHost* mHost = nullptr;
    bool mActive = false;
    std::atomic<bool> mServerGone{false};
};
