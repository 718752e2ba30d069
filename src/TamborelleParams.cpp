// The plug-in's parameters: their definitions, grouped by kind in constant
// tables, and the handlers that apply each one to the engine.
#include "framework/Assert.h"
#include "framework/Numbers.h"
#include "src/NoteDivisions.h"
#include "src/Scales.h"
#include "src/Tamborelle.h"

struct TamborelleParams {
    static bool Switch(double value) { return value > 0.5; }
    static int Channel(double value) { return Clamp(TruncToInt32(value - 1.0), 0, 15); }

    static void None(Tamborelle*, const ParamChangeDesc*, double) {}

    static void MainMute(Tamborelle* p, const ParamChangeDesc*, double v) { p->mMainVoice.mMute = Switch(v); }
    static void MainChan(Tamborelle* p, const ParamChangeDesc*, double v) { p->mMainVoice.mChannel = Channel(v); }
    static void MainDelay(Tamborelle* p, const ParamChangeDesc*, double v) { p->SetVoiceDelay(p->mMainVoice, v); }

    static void ParMute(Tamborelle* p, const ParamChangeDesc*, double v) { p->mParallelVoice.mMute = Switch(v); }
    static void ParChan(Tamborelle* p, const ParamChangeDesc*, double v) { p->mParallelVoice.mChannel = Channel(v); }
    static void ParVel(Tamborelle* p, const ParamChangeDesc*, double v) {
        p->mParallelVoice.mVelocityOffset = TruncToInt32(v);
    }
    static void ParInterval(Tamborelle* p, const ParamChangeDesc*, double v) {
        p->mParallelVoice.mIntervals[0] = TruncToInt32(v);
    }
    static void ParDelay(Tamborelle* p, const ParamChangeDesc*, double v) { p->SetVoiceDelay(p->mParallelVoice, v); }

    // The rotating voices' handlers find their voice and slot from the index.
    static Voice& Rotator(Tamborelle* p, const ParamChangeDesc* d) {
        return p->mRotatorVoice[d->mParamIdx >= 25 ? 1 : 0];
    }
    static int Base(const ParamChangeDesc* d) { return d->mParamIdx >= 25 ? 14 : 0; }
    static void RotMute(Tamborelle* p, const ParamChangeDesc* d, double v) { Rotator(p, d).mMute = Switch(v); }
    static void RotChan(Tamborelle* p, const ParamChangeDesc* d, double v) { Rotator(p, d).mChannel = Channel(v); }
    static void RotVel(Tamborelle* p, const ParamChangeDesc* d, double v) {
        Rotator(p, d).mVelocityOffset = TruncToInt32(v);
    }
    static void RotInterval(Tamborelle* p, const ParamChangeDesc* d, double v) {
        Rotator(p, d).SetInterval(d->mParamIdx - 14 - Base(d), TruncToInt32(v));
    }
    static void RotIntervalMute(Tamborelle* p, const ParamChangeDesc* d, double v) {
        Rotator(p, d).SetIntervalMute(d->mParamIdx - 18 - Base(d), Switch(v));
    }
    static void RotAlgo(Tamborelle* p, const ParamChangeDesc* d, double v) {
        Rotator(p, d).SetAlgorithm(TruncToInt32(v));
    }
    static void RotDelay(Tamborelle* p, const ParamChangeDesc* d, double v) { p->SetVoiceDelay(Rotator(p, d), v); }

    // Snap, scale and tonic rebuild the note map only when they change.
    static void Snap(Tamborelle* p, const ParamChangeDesc*, double v) {
        if (Switch(v) == p->mSnapEnabled) return;
        p->mSnapEnabled = Switch(v);
        p->RebuildScale();
    }
    static void Scale(Tamborelle* p, const ParamChangeDesc*, double v) {
        int scale = Clamp(TruncToInt32(v), 0, NUM_SCALES - 1);
        if (scale == p->mScaleIndex) return;
        p->mScaleIndex = scale;
        p->RebuildScale();
    }
    static void Tonic(Tamborelle* p, const ParamChangeDesc*, double v) {
        int tonic = Clamp(TruncToInt32(v), 0, NUM_TONICS - 1);
        if (tonic == p->mTonic) return;
        p->mTonic = tonic;
        p->RebuildNoteMap();
    }
    // A command parameter that puts itself back to rest.
    static void FileSelect(Tamborelle* p, const ParamChangeDesc* d, double) {
        IParameter* param = p->Param(d->mParamIdx);
        double rest = param->Min() > 0.0 ? param->Min() : param->Max() < 0.0 ? param->Max() : 0.0;
        param->SetValueUnchecked(rest);
    }

    static const IntParamDesc INTS[16];
    static const BoolParamDesc BOOLS[13];
    static const EnumParamDesc ENUMS[8];
    static const DoubleParamDesc HUMAN;
    static const ParamChangeDesc INTERNALS[4];
};

const IntParamDesc TamborelleParams::INTS[16] = {
    {{"MainChan", "", 2, MainChan}, 1, 1, 16},     {{"ParChan", "", 6, ParChan}, 1, 1, 16},
    {{"ParVel", "", 7, ParVel}, 0, -30, 30},       {{"ParMute", "", 8, ParInterval}, 0, -24, 24},
    {{"v1Chan", "", 12, RotChan}, 1, 1, 16},       {{"v1Vel", "", 13, RotVel}, 0, -30, 30},
    {{"v1Int1", "", 14, RotInterval}, 0, -24, 24}, {{"v1Int2", "", 15, RotInterval}, 0, -24, 24},
    {{"v1Int3", "", 16, RotInterval}, 0, -24, 24}, {{"v1Int4", "", 17, RotInterval}, 0, -24, 24},
    {{"v2Chan", "", 26, RotChan}, 1, 1, 16},       {{"v2Vel", "", 27, RotVel}, 0, -30, 30},
    {{"v2Int1", "", 28, RotInterval}, 0, -24, 24}, {{"v2Int2", "", 29, RotInterval}, 0, -24, 24},
    {{"v2Int3", "", 30, RotInterval}, 0, -24, 24}, {{"v2Int4", "", 31, RotInterval}, 0, -24, 24},
};

const BoolParamDesc TamborelleParams::BOOLS[13] = {
    {{"MainMute", "", 1, MainMute}, false},
    {{"ParMute", "", 5, ParMute}, false},
    {{"v1Mute", "", 11, RotMute}, false},
    {{"v1Mute1", "", 18, RotIntervalMute}, false},
    {{"v1Mute2", "", 19, RotIntervalMute}, false},
    {{"v1Mute3", "", 20, RotIntervalMute}, false},
    {{"v1Mute4", "", 21, RotIntervalMute}, false},
    {{"v2Mute", "", 25, RotMute}, false},
    {{"v2Mute1", "", 32, RotIntervalMute}, false},
    {{"v2Mute2", "", 33, RotIntervalMute}, false},
    {{"v2Mute3", "", 34, RotIntervalMute}, false},
    {{"v2Mute4", "", 35, RotIntervalMute}, false},
    {{"Snap", "", 38, Snap}, false},
};

const EnumParamDesc TamborelleParams::ENUMS[8] = {
    {{"MnDelay", "", 3, MainDelay}, 0, NUM_NOTE_DIVISIONS, NOTE_DIVISION_NAMES},
    {{"pDelay", "", 9, ParDelay}, 0, NUM_NOTE_DIVISIONS, NOTE_DIVISION_NAMES},
    {{"v1algo", "", 22, RotAlgo}, 0, NUM_ALGORITHMS, ALGORITHM_NAMES},
    {{"v1Delay", "", 23, RotDelay}, 0, NUM_NOTE_DIVISIONS, NOTE_DIVISION_NAMES},
    {{"v2algo", "", 36, RotAlgo}, 0, NUM_ALGORITHMS, ALGORITHM_NAMES},
    {{"v2Delay", "", 37, RotDelay}, 0, NUM_NOTE_DIVISIONS, NOTE_DIVISION_NAMES},
    {{"Scale", "", 39, Scale}, 0, NUM_SCALES, SCALE_NAMES},
    {{"Tonic", "", 40, Tonic}, 0, NUM_TONICS, TONIC_NAMES},
};

// "Human" holds a value that nothing uses.
const DoubleParamDesc TamborelleParams::HUMAN = {{"Human", "", 41, None}, 0.0, 0.0, 1.0, 0.01};

// Internal command parameters with no file behind them.
const ParamChangeDesc TamborelleParams::INTERNALS[4] = {
    {"PresetLoad", "", 42, None},
    {"PresetSave", "", 43, None},
    {"ScaleLoad", "", 44, None},
    {"FileSelect", "", 45, FileSelect},
};

void Tamborelle::DefineParameters() {
    for (const ParamChangeDesc*& desc : mpParamChangeDesc) desc = nullptr;
    auto bind = [this](const ParamChangeDesc* desc) {
        TAMB_ASSERT(mpParamChangeDesc[desc->mParamIdx] == nullptr, "mpParamChangeDesc[ pDesc->mParamIdx ] == 0",
                    "src\\Tamborelle");
        mpParamChangeDesc[desc->mParamIdx] = desc;
    };
    for (const IntParamDesc& d : TamborelleParams::INTS) {
        Param(d.mParamIdx)->DefineInt(d.mName, d.mDefault, d.mMin, d.mMax, d.mLabel);
        bind(&d);
    }
    for (const BoolParamDesc& d : TamborelleParams::BOOLS) {
        Param(d.mParamIdx)->DefineBool(d.mName, d.mDefault, d.mLabel);
        bind(&d);
    }
    for (const EnumParamDesc& d : TamborelleParams::ENUMS) {
        IParameter* param = Param(d.mParamIdx);
        param->DefineEnum(d.mName, d.mDefault, d.mNumValues);
        for (int v = 0; v < d.mNumValues; ++v) param->AddValueText(v, d.mValueNames[v]);
        bind(&d);
    }
    const DoubleParamDesc& human = TamborelleParams::HUMAN;
    Param(human.mParamIdx)
        ->DefineDouble(human.mName, human.mDefault, human.mMin, human.mMax, human.mStep, human.mLabel);
    bind(&human);
    for (const ParamChangeDesc& d : TamborelleParams::INTERNALS) {
        Param(d.mParamIdx)->DefineDouble(d.mName, 0.0, 0.0, 1.0, 1.0, d.mLabel);
        bind(&d);
    }
}
