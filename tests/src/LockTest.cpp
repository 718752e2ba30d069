// One instance driven from two host threads at once, as hosts do: the audio
// thread processes while another thread changes parameters, programs and state.
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

using LockTest = PluginTest;

// Parameter, program and chunk calls during processing never corrupt the output or the instance.
TEST_F(LockTest, ControlThreadDuringProcessing) {
    SpreadVoices();
    p.SetParam(Par::V1Delay, Norm::Division(Div::Sixteenth));
    p.StartPlayback();
    void* data = nullptr;
    const intptr_t size = p.Dispatch(vst2::effGetChunk, 1, 0, &data);
    ASSERT_EQ(size, 344);
    std::vector<uint8_t> saved(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);

    std::atomic<bool> done{false};
    std::thread control([&] {
        std::mt19937 random(99);
        vst2::AEffect* e = p.Effect();
        for (long i = 0; !done.load(); ++i) {
            const int index = static_cast<int>(random() % 46);
            e->setParameter(e, index, static_cast<float>(random() % 1001) / 1000.0f);
            e->getParameter(e, static_cast<int>(random() % 46));
            char text[256];
            e->dispatcher(e, vst2::effGetParamDisplay, index, 0, text, 0.0f);
            if (i % 50 == 0) {
                void* chunk = nullptr;
                e->dispatcher(e, vst2::effGetChunk, static_cast<int32_t>(i % 2), 0, &chunk, 0.0f);
                e->dispatcher(e, vst2::effSetChunk, 1, static_cast<intptr_t>(saved.size()), saved.data(), 0.0f);
            }
            if (i % 97 == 0) e->dispatcher(e, vst2::effSetProgram, 0, static_cast<intptr_t>(i % 6), nullptr, 0.0f);
        }
    });

    size_t events = 0;
    bool valid = true;
    for (int k = 0; k < 3000; ++k) {
        for (int j = 0; j < 4; ++j) {
            p.NoteOn(j * 100 + k % 50, 30 + (4 * k + j) % 70, 30 + 20 * j);
            if (k >= 6) p.NoteOff(j * 100 + 20, 30 + (4 * (k - 6) + j) % 70);
        }
        p.ProcessBlock(kBlock);
        p.Host().mTime.samplePos += kBlock;
        for (const Sent& s : p.Host().mLog) {
            ++events;
            const bool note =
                s.IsNote() && s.Note() <= 127 && s.Velocity() <= 127 && (s.IsNoteOff() || s.Velocity() > 0);
            valid = valid && s.kind == Sent::Midi && note && s.delta >= 0 && s.delta <= kBlock;
        }
        p.Host().mLog.clear();
    }
    done = true;
    control.join();

    EXPECT_TRUE(valid);
    EXPECT_GT(events, 3000u);
    EXPECT_FALSE(p.Display(Par::MainChan).empty());
}

}  // namespace
