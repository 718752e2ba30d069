// tamborelle-host live against a JACK server the test starts (jackd's dummy backend, under
// a name of its own): a phrase played into its input comes out as render plays the same
// phrase, the same notes on the same channels to the sample; Ctrl-C ends every sounding
// note before it leaves; a rolling transport is followed; and a missing server or port,
// or a server that goes away, ends it with one line.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tools/midi/MidiFileReader.h"
#include "tools/midi/MidiFileWriter.h"

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 256;
constexpr int64_t kQuarter = kRate / 2;  // 120 BPM

void Sleep(long milliseconds) {
    timespec t{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

void Quiet(const char*) {}

std::string Temp(const std::string& name) { return ::testing::TempDir() + "tamborelle_live_" + name; }

// A child process with its output in a file; ended by the test if it is still running.
class Child {
public:
    Child() = default;
    ~Child() { Kill(); }
    bool Start(const std::vector<std::string>& args, const std::string& output) {
        mOutput = output;
        mPid = fork();
        if (mPid < 0) return false;
        if (mPid == 0) {
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            dup2(fd, 2);
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        return true;
    }
    void Signal(int signal) {
        if (mPid > 0) kill(mPid, signal);
    }
    // The exit status, or -1 when it did not end in time.
    int Wait(int milliseconds) {
        for (int waited = 0; mPid > 0 && waited <= milliseconds; waited += 10) {
            int status = 0;
            if (waitpid(mPid, &status, WNOHANG) == mPid) {
                mPid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            Sleep(10);
        }
        return -1;
    }
    void Kill() {
        if (mPid <= 0) return;
        kill(mPid, SIGKILL);
        waitpid(mPid, nullptr, 0);
        mPid = -1;
    }
    std::string Output() const {
        std::ifstream in(mOutput);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    pid_t mPid = -1;
    std::string mOutput;
};

// JACK servers of one user share that user's metadata database, which a starting server
// creates and a stopping one deletes: servers of two test runs on one machine trip over
// each other. Each test holds this machine-wide lock while it runs JACK.
class JackTestLock {
public:
    JackTestLock() : mFd(open("/tmp/tamborelle-jack-tests.lock", O_CREAT | O_RDWR, 0666)) {
        if (mFd >= 0) flock(mFd, LOCK_EX);
    }
    ~JackTestLock() {
        if (mFd >= 0) close(mFd);
    }
    JackTestLock(const JackTestLock&) = delete;
    JackTestLock& operator=(const JackTestLock&) = delete;

private:
    int mFd;
};

jack_client_t* OpenClient(const std::string& server, const char* name) {
    jack_status_t status;
    return jack_client_open(name, jack_options_t(JackNoStartServer | JackServerName), &status, server.c_str());
}

// jackd with the dummy backend, up once a client can connect. In synchronous mode (-S) a
// cycle waits for every client, so a busy machine delays the test instead of skipping a
// client's cycle, which would move its later output by a period.
//
// No client may open while the server sets up: every JACK program shares one metadata
// database in /dev/shm, which a starting server creates and a stopping one deletes, and
// two programs creating it at once leave it broken for every JACK program of the user.
// So the test waits for the server's socket before it connects.
bool StartServer(Child& server, const std::string& name) {
    const std::string socket = "/dev/shm/jack_" + name + "_" + std::to_string(getuid()) + "_0";
    struct stat info;
    // A server starting beside another one (other JACK use on the machine) can lose the
    // race for that database and die at once; it is started again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!server.Start({"jackd", "--no-realtime", "-S", "-n", name, "-t", "5000", "-d", "dummy", "-r",
                           std::to_string(kRate), "-p", std::to_string(kPeriod)},
                          Temp(name + ".log")))
            return false;
        bool died = false;
        for (int i = 0; i < 200 && stat(socket.c_str(), &info) != 0 && !died; ++i) {
            died = server.Wait(0) >= 0;
            Sleep(50);
        }
        if (died) {
            Sleep(300 * (attempt + 1));
            continue;
        }
        Sleep(100);
        for (int i = 0; i < 100; ++i) {
            if (jack_client_t* probe = OpenClient(name, "probe")) {
                jack_client_close(probe);
                return true;
            }
            Sleep(50);
        }
        return false;
    }
    return false;
}

struct Midi {
    int64_t mFrame;
    uint8_t mBytes[3];
    bool operator<(const Midi& o) const {
        return std::tie(mFrame, mBytes[0], mBytes[1], mBytes[2]) <
               std::tie(o.mFrame, o.mBytes[0], o.mBytes[1], o.mBytes[2]);
    }
    bool operator==(const Midi& o) const { return !(*this < o) && !(o < *this); }
};

std::ostream& operator<<(std::ostream& out, const Midi& m) {
    char text[64];
    std::snprintf(text, sizeof text, "%lld: %02X %d %d", static_cast<long long>(m.mFrame), m.mBytes[0], m.mBytes[1],
                  m.mBytes[2]);
    return out << text;
}

// Plays a list of messages from a start frame set while it runs, and records what comes in
// with absolute frames. Both in JACK's process thread, into room reserved beforehand.
class TestClient {
public:
    bool Open(const std::string& server, const char* name) {
        mClient = OpenClient(server, name);
        if (!mClient) return false;
        mOut = jack_port_register(mClient, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        mIn = jack_port_register(mClient, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        mRecorded.resize(8192);
        jack_set_process_callback(mClient, &TestClient::Process, this);
        return mOut && mIn && jack_activate(mClient) == 0;
    }
    ~TestClient() { Close(); }
    void Close() {
        if (mClient) jack_client_close(mClient);
        mClient = nullptr;
    }
    // Plays messages (frames relative to the start) from about delay frames from now on.
    int64_t Play(std::vector<Midi> messages, int64_t delay) {
        mStart.store(-1);
        Sleep(50);  // a cycle still reading the old script has ended
        mScript = std::move(messages);
        mNext.store(0);
        const int64_t start = mCycle.load() + delay;
        mStart.store(start);
        return start;
    }
    // Waits until this client has run a cycle two periods past frame: the server then ran
    // every client's cycles up to frame, and what the host sent in them has arrived. The
    // server's clock can run ahead of the cycles on a busy machine, so it is no measure.
    void WaitFor(int64_t frame) const {
        for (int waited = 0; mCycle.load() < frame + 2 * kPeriod && waited < 30000; waited += 10) Sleep(10);
    }
    std::vector<Midi> Recorded() const {
        return std::vector<Midi>(mRecorded.begin(), mRecorded.begin() + long(mCount.load()));
    }
    jack_client_t* Client() const { return mClient; }
    std::atomic<bool> mLate{false};  // a message was written after its frame

private:
    static int Process(jack_nframes_t frames, void* arg) {
        TestClient* self = static_cast<TestClient*>(arg);
        const int64_t cycle = jack_last_frame_time(self->mClient);
        self->mCycle.store(cycle);
        void* out = jack_port_get_buffer(self->mOut, frames);
        jack_midi_clear_buffer(out);
        const int64_t start = self->mStart.load();
        for (size_t i = self->mNext.load(); start >= 0 && i < self->mScript.size(); i = ++self->mNext) {
            const int64_t at = start + self->mScript[i].mFrame;
            if (at >= cycle + frames) break;
            if (at < cycle) self->mLate.store(true);
            jack_midi_event_write(out, jack_nframes_t(std::max<int64_t>(0, at - cycle)), self->mScript[i].mBytes, 3);
        }
        void* in = jack_port_get_buffer(self->mIn, frames);
        for (uint32_t i = 0; i < jack_midi_get_event_count(in); ++i) {
            jack_midi_event_t e;
            const size_t n = self->mCount.load();
            if (jack_midi_event_get(&e, in, i) != 0 || e.size != 3 || n >= self->mRecorded.size()) continue;
            Midi& m = self->mRecorded[n];
            m.mFrame = cycle + e.time;
            std::copy(e.buffer, e.buffer + 3, m.mBytes);
            self->mCount.store(n + 1);
        }
        return 0;
    }

    jack_client_t* mClient = nullptr;
    jack_port_t* mOut = nullptr;
    jack_port_t* mIn = nullptr;
    std::vector<Midi> mScript;
    std::atomic<size_t> mNext{0};
    std::atomic<int64_t> mStart{-1};
    std::atomic<int64_t> mCycle{0};  // the start of the latest cycle
    std::vector<Midi> mRecorded;
    std::atomic<size_t> mCount{0};
};

const std::vector<std::string> SETTINGS = {
    "--set", "ParChan=2",    "--set", "8=7",      "--set", "v1Chan=3",   "--set", "v1Int1=12",   "--set", "v1Int2=-5",
    "--set", "v1Delay=1/16", "--set", "v2Chan=4", "--set", "v2Int1=-12", "--set", "v2Delay=1/8", "--set", "v2Mute2=on"};

// A chord and three notes, at frames that fall anywhere in JACK's cycles (all on whole
// ticks of a 480-a-quarter file, so render plays exactly the same frames).
const std::vector<Midi> PHRASE = {
    {0, {0x90, 60, 100}},    {0, {0x90, 64, 100}},   {0, {0x90, 67, 100}},    {21000, {0x80, 60, 0}},
    {21000, {0x80, 64, 0}},  {21000, {0x80, 67, 0}}, {24350, {0x90, 62, 90}}, {34350, {0x80, 62, 0}},
    {49250, {0x90, 65, 80}}, {58250, {0x80, 65, 0}}, {72250, {0x90, 69, 70}}, {84250, {0x80, 69, 0}},
};

class LiveJackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        jack_set_error_function(Quiet);
        jack_set_info_function(Quiet);
    }
    void SetUp() override {
        static int count = 0;
        mName = "tamborelle-test-" + std::to_string(getpid()) + "-" + std::to_string(++count);
        ASSERT_TRUE(StartServer(mServer, mName)) << mServer.Output();
        ASSERT_TRUE(mClient.Open(mName, "phrase"));
    }
    void TearDown() override {
        mClient.Close();
        mHost.Kill();
        mServer.Signal(SIGTERM);
        if (mServer.Wait(5000) < 0) mServer.Kill();
        // Clients the server left behind keep their semaphores in /dev/shm.
        if (DIR* dir = opendir("/dev/shm")) {
            while (dirent* entry = readdir(dir))
                if (std::string(entry->d_name).find("_" + mName + "_") != std::string::npos)
                    unlink(("/dev/shm/" + std::string(entry->d_name)).c_str());
            closedir(dir);
        }
    }
    // Starts the host connected to the test client both ways; true once it plays.
    bool StartHost(std::vector<std::string> options) {
        std::vector<std::string> args = {TAMBORELLE_HOST_PATH, "live", TAMBORELLE_MODULE_PATH,
                                         "--server",           mName,  "--from",
                                         "phrase:out",         "--to", "phrase:in"};
        args.insert(args.end(), options.begin(), options.end());
        if (!mHost.Start(args, Temp(mName + "-host.log"))) return false;
        for (int i = 0; i < 500; ++i) {
            if (mHost.Output().find("Ctrl-C stops") != std::string::npos) return true;
            if (mHost.Wait(0) >= 0) return false;
            Sleep(20);
        }
        return false;
    }
    JackTestLock mLock;  // first in, last out
    std::string mName;
    Child mServer, mHost;
    TestClient mClient;
};

// Render of the phrase through the same settings: every event in frames from its start.
std::vector<Midi> Rendered() {
    MidiFile in;
    in.mDivision = 480;
    in.mTracks.resize(1);
    in.mTracks[0].mEvents.push_back(MidiEvent::Tempo(0, 500000));
    for (const Midi& m : PHRASE)
        in.mTracks[0].mEvents.push_back(
            MidiEvent::Channel3(uint64_t(m.mFrame / 50), m.mBytes[0], m.mBytes[1], m.mBytes[2]));
    const std::string inPath = Temp("phrase.mid"), outPath = Temp("phrase_out.mid");
    std::string error;
    EXPECT_TRUE(WriteMidiFileToPath(in, inPath, error)) << error;
    std::string command = std::string("'") + TAMBORELLE_HOST_PATH + "' render '" + TAMBORELLE_MODULE_PATH + "' " +
                          inPath + " " + outPath + " --rate 48000 --block 256";
    for (const std::string& s : SETTINGS) command += " " + s;
    EXPECT_EQ(std::system((command + " >/dev/null").c_str()), 0) << command;
    MidiFile out;
    EXPECT_TRUE(ReadMidiFileFromPath(outPath, out, error)) << error;
    std::vector<Midi> events;
    for (const MidiTrack& t : out.mTracks)
        for (const MidiEvent& e : t.mEvents)
            if (e.IsChannel() && e.mData.size() == 2)
                events.push_back({int64_t(e.mTick) * 25, {e.mStatus, e.mData[0], e.mData[1]}});  // 960 a quarter
    std::sort(events.begin(), events.end());
    return events;
}

}  // namespace

// The phrase comes out of the live host as render plays it: the same notes and
// note-offs on the same channels, delays included, at the same frames relative to the
// phrase's start. A note still held at Ctrl-C gets its note-off before the host leaves.
TEST_F(LiveJackTest, PlaysAsRenderDoesAndEndsHeldNotes) {
    ASSERT_TRUE(StartHost(SETTINGS)) << mHost.Output();
    std::vector<Midi> script = PHRASE;
    const int64_t held = 5 * kQuarter;
    script.push_back({held, {0x90, 72, 100}});
    const int64_t start = mClient.Play(script, kRate / 2);
    mClient.WaitFor(start + held + kQuarter);
    mHost.Signal(SIGINT);
    EXPECT_EQ(mHost.Wait(5000), 0) << mHost.Output();
    Sleep(100);
    EXPECT_FALSE(mClient.mLate.load());
    EXPECT_NE(mHost.Output().find("stopped: 7 notes in"), std::string::npos) << mHost.Output();

    std::vector<Midi> live = mClient.Recorded();
    ASSERT_FALSE(live.empty());
    std::sort(live.begin(), live.end());
    // The first thing out is the chord's main voice; anything before it would be a fault.
    const int64_t latency = live.front().mFrame - start;
    EXPECT_GE(latency, 0);
    EXPECT_EQ(latency % kPeriod, 0) << latency;
    std::vector<Midi> phrase, afterwards;
    for (Midi m : live) {
        m.mFrame -= start + latency;
        (m.mFrame < held ? phrase : afterwards).push_back(m);
    }
    const std::vector<Midi> rendered = Rendered();
    EXPECT_EQ(phrase, rendered);
    EXPECT_GE(rendered.size(), 40u);  // four voices, delays and note-offs

    // The held note sounded on the voices' channels and every one of them was ended.
    int ons = 0;
    for (const Midi& on : afterwards) {
        if ((on.mBytes[0] >> 4) != 9 || on.mBytes[2] == 0) continue;
        ++ons;
        bool ended = false;
        for (const Midi& off : afterwards)
            ended = ended || (off.mFrame >= on.mFrame && (off.mBytes[0] & 0x0F) == (on.mBytes[0] & 0x0F) &&
                              off.mBytes[1] == on.mBytes[1] && (off.mBytes[0] >> 4) == 8);
        EXPECT_TRUE(ended) << on;
    }
    EXPECT_GE(ons, 3);
}

// While JACK's transport rolls the host follows it: relocating the transport under a held
// note ends the note at once, as a DAW's jump does. Stopped, the host's own clock plays on.
TEST_F(LiveJackTest, FollowsARollingTransport) {
    ASSERT_TRUE(StartHost({}));
    jack_transport_locate(mClient.Client(), 0);
    jack_transport_start(mClient.Client());
    for (int i = 0; i < 200 && jack_transport_query(mClient.Client(), nullptr) != JackTransportRolling; ++i) Sleep(10);
    ASSERT_EQ(jack_transport_query(mClient.Client(), nullptr), JackTransportRolling);
    int64_t start = mClient.Play({{0, {0x90, 60, 100}}}, kRate / 4);
    mClient.WaitFor(start);
    jack_transport_locate(mClient.Client(), 0);
    mClient.WaitFor(start + kRate / 4);
    std::vector<Midi> out = mClient.Recorded();
    ASSERT_EQ(out.size(), 2u);
    const int64_t latency = out[0].mFrame - start;
    EXPECT_EQ(latency % kPeriod, 0) << latency;
    EXPECT_EQ(out[1].mBytes[0], 0x80);
    EXPECT_EQ(out[1].mBytes[1], 60);

    jack_transport_stop(mClient.Client());
    Sleep(100);
    start = mClient.Play({{0, {0x90, 62, 100}}}, kRate / 4);
    mClient.WaitFor(start + kRate / 4);
    out = mClient.Recorded();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].mFrame, start + latency);
    EXPECT_EQ(out[2].mBytes[1], 62);
    mHost.Signal(SIGINT);
    EXPECT_EQ(mHost.Wait(5000), 0);
}

// A port that does not exist, and a server that goes away while playing.
TEST_F(LiveJackTest, UnknownPortAndVanishingServer) {
    Child host;
    ASSERT_TRUE(
        host.Start({TAMBORELLE_HOST_PATH, "live", TAMBORELLE_MODULE_PATH, "--server", mName, "--from", "nobody:out"},
                   Temp(mName + "-port.log")));
    EXPECT_EQ(host.Wait(10000), 2);
    EXPECT_EQ(host.Output(), "tamborelle-host: there is no JACK port named \"nobody:out\" (jack_lsp lists them)\n");

    ASSERT_TRUE(StartHost({}));
    mServer.Signal(SIGTERM);
    EXPECT_EQ(mHost.Wait(10000), 1);
    EXPECT_NE(mHost.Output().find("tamborelle-host: the JACK server went away; stopped\n"), std::string::npos)
        << mHost.Output();
}

// Without a server the host says so in one line.
TEST(LiveJack, NoServer) {
    JackTestLock lock;
    Child host;
    const std::string name = "tamborelle-absent-" + std::to_string(getpid());
    ASSERT_TRUE(
        host.Start({TAMBORELLE_HOST_PATH, "live", TAMBORELLE_MODULE_PATH, "--server", name}, Temp("absent.log")));
    EXPECT_EQ(host.Wait(10000), 1);
    EXPECT_EQ(host.Output(),
              "tamborelle-host: no JACK server named \"" + name + "\" is running (start one with jackd or qjackctl)\n");
}
