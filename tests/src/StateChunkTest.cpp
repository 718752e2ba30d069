// The state chunk: its 344-byte layout, restoring from whole, bare, short and
// foreign chunks, and the engine following what was restored.
#include <cstring>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

class StateChunkTest : public PluginTest {
protected:
    // The chunk the plug-in hands out, copied.
    std::vector<uint8_t> GetChunk(int index = 1) {
        void* data = nullptr;
        const intptr_t size = p.Dispatch(vst2::effGetChunk, index, 0, &data);
        if (size <= 0 || !data) return {};
        const auto* bytes = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(bytes, bytes + size);
    }

    intptr_t SetChunk(std::vector<uint8_t> bytes, int index = 1) {
        return p.Dispatch(vst2::effSetChunk, index, static_cast<intptr_t>(bytes.size()),
                          bytes.empty() ? static_cast<void*>(&bytes) : bytes.data());
    }

    static double ValueAt(const std::vector<uint8_t>& chunk, size_t offset) {
        double v = 0.0;
        std::memcpy(&v, chunk.data() + offset, sizeof v);
        return v;
    }

    static std::vector<uint8_t> Header() { return {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}; }

    static void Append(std::vector<uint8_t>& chunk, double value) {
        uint8_t bytes[8];
        std::memcpy(bytes, &value, 8);
        chunk.insert(chunk.end(), bytes, bytes + 8);
    }

    // A full chunk with every plain value at its default but the ones given.
    static std::vector<uint8_t> Values(std::vector<double> plain, bool header = true) {
        std::vector<uint8_t> chunk = header ? Header() : std::vector<uint8_t>{};
        for (double v : plain) Append(chunk, v);
        return chunk;
    }

    static std::vector<double> Defaults() {
        std::vector<double> v(42, 0.0);
        for (int index : {Par::MainChan, Par::ParChan, Par::V1Chan, Par::V2Chan}) v[index] = 1.0;
        return v;
    }
};

// --- Layout ------------------------------------------------------------------

// The chunk is the tag, the version and the 42 plain values as little-endian doubles.
TEST_F(StateChunkTest, LayoutOfDefaults) {
    std::vector<uint8_t> chunk = GetChunk();
    ASSERT_EQ(chunk.size(), 344u);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 8), Header());
    const std::vector<double> defaults = Defaults();
    for (int i = 0; i < 42; ++i) EXPECT_EQ(ValueAt(chunk, 8 + 8 * i), defaults[i]) << "parameter " << i;
}

// Values are stored plain, in their own units.
TEST_F(StateChunkTest, ValuesArePlain) {
    p.SetParam(Par::MainChan, Norm::Chan(5));
    p.SetParam(Par::ParVel, Norm::Velocity(-3));
    p.SetParam(Par::V2Delay, Norm::Division(Div::EighthTriplet));
    p.SetParam(Par::Tonic, Norm::Tonic(11));
    p.SetParam(Par::Human, 0.25f);
    std::vector<uint8_t> chunk = GetChunk();
    ASSERT_EQ(chunk.size(), 344u);
    EXPECT_EQ(ValueAt(chunk, 8 + 8 * Par::MainChan), 5.0);
    EXPECT_EQ(ValueAt(chunk, 8 + 8 * Par::ParVel), -3.0);
    EXPECT_EQ(ValueAt(chunk, 8 + 8 * Par::V2Delay), 13.0);
    EXPECT_EQ(ValueAt(chunk, 8 + 8 * Par::Tonic), 11.0);
    EXPECT_EQ(ValueAt(chunk, 8 + 8 * Par::Human), 0.25);
}

// Bank and program chunks carry the same state; the buffer is reused with a fresh header.
TEST_F(StateChunkTest, BankAndProgramAgree) {
    p.SetParam(Par::V1Chan, Norm::Chan(7));
    EXPECT_EQ(GetChunk(0), GetChunk(1));
    void* first = nullptr;
    void* second = nullptr;
    p.Dispatch(vst2::effGetChunk, 1, 0, &first);
    p.Dispatch(vst2::effGetChunk, 1, 0, &second);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GetChunk(1).size(), 344u);
}

// --- Restoring -----------------------------------------------------------------

// A whole chunk restores all 42 values.
TEST_F(StateChunkTest, RoundTrip) {
    p.SetParam(Par::MainChan, Norm::Chan(5));
    p.SetParam(Par::V1Int1 + 2, Norm::Interval(-7));
    p.SetParam(Par::Scale, Norm::Scale(3));
    std::vector<uint8_t> saved = GetChunk();
    std::vector<float> before;
    for (int i = 0; i < 42; ++i) before.push_back(p.GetParam(i));
    for (int i = 0; i < 42; ++i) p.SetParam(i, 1.0f);
    EXPECT_EQ(SetChunk(saved), 1);
    for (int i = 0; i < 42; ++i) EXPECT_EQ(p.GetParam(i), before[i]) << "parameter " << i;
}

// The 336 value bytes without a header are read from offset 0.
TEST_F(StateChunkTest, BareValues) {
    std::vector<double> v = Defaults();
    v[Par::MainChan] = 9.0;
    v[Par::ParInt] = -12.0;
    EXPECT_EQ(SetChunk(Values(v, false)), 1);
    EXPECT_EQ(p.Display(Par::MainChan), "9");
    EXPECT_EQ(p.Display(Par::ParInt), "-12");
}

// A restored chunk reaches the engine: the main voice moves to the stored channel.
TEST_F(StateChunkTest, RestoredStateDrivesEngine) {
    std::vector<double> v = Defaults();
    v[Par::MainChan] = 5.0;
    ASSERT_EQ(SetChunk(Values(v)), 1);
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Brief(NoteOns(p.Roll(kBlock))), "on 60 c4 v100, on 60 c0 v100");
}

// A value outside the range is limited to it: 99 for a 1..16 channel gives 16.
TEST_F(StateChunkTest, OutOfRangeValuesAreLimited) {
    std::vector<double> v = Defaults();
    v[Par::MainChan] = 99.0;
    v[Par::ParChan] = -99.0;
    v[Par::ParVel] = 99.0;
    v[Par::V1Algo] = 17.0;
    ASSERT_EQ(SetChunk(Values(v)), 1);
    EXPECT_EQ(p.Display(Par::MainChan), "16");
    EXPECT_EQ(p.Display(Par::ParChan), "1");
    EXPECT_EQ(p.Display(Par::ParVel), "30");
    EXPECT_EQ(p.Display(Par::V1Algo), "Random");
}

// A header-only chunk sets parameter 0 to its value nearest 0, keeps the rest, and reports failure.
TEST_F(StateChunkTest, HeaderOnlyChunk) {
    p.SetParam(0, 1.0f);
    p.SetParam(Par::MainChan, Norm::Chan(5));
    EXPECT_EQ(SetChunk(Header()), 0);
    EXPECT_EQ(p.GetParam(0), 0.0f);
    EXPECT_EQ(p.Display(Par::MainChan), "5");
}

// A tag with fewer than 8 bytes reads nothing and reports failure.
TEST_F(StateChunkTest, TruncatedHeaderReadsNothing) {
    p.SetParam(0, 1.0f);
    p.SetParam(Par::MainChan, Norm::Chan(5));
    std::vector<uint8_t> chunk = Header();
    chunk.resize(6);
    EXPECT_EQ(SetChunk(chunk), 0);
    EXPECT_EQ(p.GetParam(0), 1.0f);
    EXPECT_EQ(p.Display(Par::MainChan), "5");
}

// A short foreign chunk is read as bare values; the first missing one goes to its value nearest 0.
TEST_F(StateChunkTest, ShortForeignChunk) {
    p.SetParam(Par::MainChan, Norm::Chan(5));
    p.SetParam(Par::ParChan, Norm::Chan(7));
    std::vector<uint8_t> chunk;
    Append(chunk, 1.0);
    Append(chunk, 1.0);
    EXPECT_EQ(SetChunk(chunk), 0);
    EXPECT_EQ(p.GetParam(0), 1.0f);
    EXPECT_EQ(p.Display(Par::MainMute), "on");
    EXPECT_EQ(p.Display(Par::MainChan), "1");
    EXPECT_EQ(p.Display(Par::ParChan), "7");
}

// --- Chunks and program slots ------------------------------------------------------

// A program chunk set by the host is stored in the current slot as well.
TEST_F(StateChunkTest, ProgramChunkIsStoredInCurrentSlot) {
    p.Dispatch(vst2::effSetProgram, 0, 1);
    std::vector<double> v = Defaults();
    v[Par::MainChan] = 11.0;
    ASSERT_EQ(SetChunk(Values(v), 1), 1);
    p.SetParam(Par::MainChan, Norm::Chan(3));
    p.Dispatch(vst2::effSetProgram, 0, 2);
    p.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(p.Display(Par::MainChan), "11");
}

// A bank chunk of this version leaves the current slot as it was.
TEST_F(StateChunkTest, BankChunkIsNotStoredInCurrentSlot) {
    p.Dispatch(vst2::effSetProgram, 0, 1);
    std::vector<double> v = Defaults();
    v[Par::MainChan] = 11.0;
    ASSERT_EQ(SetChunk(Values(v), 0), 1);
    EXPECT_EQ(p.Display(Par::MainChan), "11");
    p.Dispatch(vst2::effSetProgram, 0, 2);
    p.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(p.Display(Par::MainChan), "1");
}

// A bank chunk without the header carries no version, so it is stored in the current slot.
TEST_F(StateChunkTest, BareBankChunkIsStoredInCurrentSlot) {
    p.Dispatch(vst2::effSetProgram, 0, 1);
    std::vector<double> v = Defaults();
    v[Par::MainChan] = 11.0;
    ASSERT_EQ(SetChunk(Values(v, false), 0), 1);
    p.SetParam(Par::MainChan, Norm::Chan(3));
    p.Dispatch(vst2::effSetProgram, 0, 2);
    p.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(p.Display(Par::MainChan), "11");
}

// A program chunk that ends early still stores the current values in the current slot.
TEST_F(StateChunkTest, ShortProgramChunkIsStillStored) {
    p.Dispatch(vst2::effSetProgram, 0, 1);
    p.SetParam(Par::MainChan, Norm::Chan(5));
    EXPECT_EQ(SetChunk(Header(), 1), 0);
    p.SetParam(Par::MainChan, Norm::Chan(9));
    p.Dispatch(vst2::effSetProgram, 0, 2);
    p.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(p.Display(Par::MainChan), "5");
}

// Reading a bank chunk stores the current values in the current slot; a program chunk does not.
TEST_F(StateChunkTest, GettingBankChunkStoresCurrentSlot) {
    p.Dispatch(vst2::effSetProgram, 0, 1);
    p.SetParam(Par::MainChan, Norm::Chan(6));
    GetChunk(1);
    p.Dispatch(vst2::effSetProgram, 0, 2);
    p.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(p.Display(Par::MainChan), "1") << "program chunk";
    p.SetParam(Par::MainChan, Norm::Chan(6));
    GetChunk(0);
    p.Dispatch(vst2::effSetProgram, 0, 2);
    p.Dispatch(vst2::effSetProgram, 0, 1);
    EXPECT_EQ(p.Display(Par::MainChan), "6") << "bank chunk";
}

// A null chunk pointer is refused.
TEST_F(StateChunkTest, NullChunkIsRefused) {
    EXPECT_EQ(p.Dispatch(vst2::effSetChunk, 1, 344, nullptr), 0);
    EXPECT_EQ(p.Dispatch(vst2::effGetChunk, 1, 0, nullptr), 0);
}

}  // namespace
