// The live host's cycle with the real module allocates nothing once warmed up, as
// JACK's process thread requires: dense input over all four voices with delays, cycles
// longer than the plug-in's block, a transport that starts, jumps and stops, and the
// stop that ends every note.
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "tests/src/AllocationCounter.h"
#include "tools/tamborelle-host/HostSettings.h"
#include "tools/tamborelle-host/LiveHost.h"
#include "tools/vsthost/PluginStartup.h"

namespace {

// Eight messages a cycle, made in place.
class DenseInput : public LiveMidiInput {
public:
    void Fill(long cycle) {
        for (int i = 0; i < 4; ++i) {
            const uint8_t note = uint8_t(36 + (cycle * 4 + i) % 48), old = uint8_t(36 + ((cycle - 6) * 4 + i) % 48);
            mBytes[size_t(2 * i)] = {uint8_t(0x90 | i), note, uint8_t(60 + 10 * i)};
            mBytes[size_t(2 * i + 1)] = {uint8_t(0x80 | i), old, 0};
            mFrames[size_t(2 * i)] = uint32_t(60 * i);
            mFrames[size_t(2 * i + 1)] = uint32_t(60 * i + 7);
        }
    }
    uint32_t Count() override { return 8; }
    bool Get(uint32_t index, uint32_t& frame, const uint8_t*& data, size_t& size) override {
        frame = mFrames[index];
        data = mBytes[index].data();
        size = 3;
        return true;
    }

private:
    std::array<std::array<uint8_t, 3>, 8> mBytes{};
    std::array<uint32_t, 8> mFrames{};
};

class CountingOutput : public LiveMidiOutput {
public:
    bool Write(uint32_t, const uint8_t*, size_t) override { return ++mWritten, true; }
    long mWritten = 0;
};

}  // namespace

TEST(LiveAllocation, CyclesAllocateNothing) {
    VstModule module;
    LiveHost host;
    std::string error;
    ASSERT_TRUE(StartPlugin(module, host, TAMBORELLE_MODULE_PATH, 48000, 256, error)) << error;
    std::vector<std::pair<int, float>> parameters;
    std::ostringstream notes;
    ASSERT_TRUE(ResolveSettings(host,
                                {{"ParChan", "2"},
                                 {"8", "7"},
                                 {"v1Chan", "3"},
                                 {"v1Int1", "12"},
                                 {"v1Delay", "1/8"},
                                 {"v2Chan", "4"},
                                 {"v2Int2", "-12"},
                                 {"v2Delay", "1/4"},
                                 {"v2algo", "Random"},
                                 {"Snap", "on"}},
                                parameters, error, notes))
        << error;
    host.Prepare(48000, 128, 120);
    host.ApplySettings(parameters, 120);

    DenseInput in;
    CountingOutput out;
    LiveTransport transport;
    auto run = [&](long from, long to) {
        for (long cycle = from; cycle < to; ++cycle) {
            in.Fill(cycle);
            transport.mRolling = cycle % 500 >= 250;                           // the transport starts and stops
            transport.mFrame = cycle % 100 == 0 ? 0 : transport.mFrame + 256;  // and jumps
            host.Cycle(256, transport, in, out);
        }
    };
    run(0, 2000);
    AllocationCounter::Arm();
    run(2000, 4000);
    host.RequestStop();
    run(4000, 4001);
    AllocationCounter::Disarm();
    EXPECT_EQ(AllocationCounter::Allocations(), 0u);
    EXPECT_TRUE(host.Finished());
    EXPECT_GT(out.mWritten, 20000);
    EXPECT_EQ(host.Dropped(), 0);
    host.Stop();
}
