// The rig link of every model driven through CatControl over a serial line whose replies are
// the input: the reply framing, stray and late bytes, echoes, silence, failing writes.
//
// Input: model, baud rate, line flags, the number of operations, the operations (one byte each,
// some followed by an argument), then the rig's side: for every frame written, a byte whose
// low seven bits count the bytes that answer it at once, and whose top bit says a count and that
// many bytes more follow, which arrive just after the program has next looked at the line.
#include "FuzzSupport.h"
#include "rig/CatCodec.h"
#include "rig/CatControl.h"
#include "rig/KeyedRecord.h"
#include "rig/RigCaps.h"
#include "rig/RigModel.h"
#include "support/FakePlatform.h"

#include <QFile>
#include <cstring>

namespace {

enum LineFlag : std::uint8_t { NoModemLines = 1, Echoes = 2 };

class ScriptedLink final : public rig::SerialLink {
public:
    ScriptedLink(fuzz::Script& rig, testing_support::FakePlatform& platform, bool modemLines,
                 bool echoes)
        : rig_(rig), platform_(platform), modemLines_(modemLines), echoes_(echoes) {}

    rig::LinkOpenResult open(int, const QString&) override {
        open_ = true;
        dtr_ = rts_ = modemLines_; // opening raises both lines
        return {true, {}};
    }
    void close() override {
        open_ = false;
        dtr_ = rts_ = false; // a closed port drops its modem lines
        input_.clear();
        late_.clear();
    }
    bool isOpen() const override { return open_; }
    QString description() const override { return QStringLiteral("fuzzed rig"); }
    bool setRts(bool on) override {
        if (modemLines_)
            rts_ = on;
        return open_ && modemLines_;
    }
    bool setDtr(bool on) override {
        if (modemLines_)
            dtr_ = on;
        return open_ && modemLines_;
    }
    qint64 bytesWaiting() override { return open_ ? input_.size() : 0; }
    void discardInput() override {
        input_.clear();
        arriveLate();
    }
    QByteArray readAll() override {
        if (!open_)
            return {};
        const QByteArray taken = std::exchange(input_, {});
        arriveLate();
        return taken;
    }
    bool write(const QByteArray& bytes) override {
        if (!open_)
            return false;
        if (std::exchange(failNextWrite, false)) {
            ++failedWrites;
            return false;
        }
        frames.push_back(bytes);
        if (echoes_)
            input_ += bytes;
        const std::uint8_t control = rig_.byte();
        input_ += rig_.take(control & 0x7F);
        if (control & 0x80)
            late_ += rig_.take(rig_.byte());
        return true;
    }
    bool waitForBytes(qint64 count, double timeoutMs) override {
        if (bytesWaiting() >= count)
            return true;
        platform_.waitMs(timeoutMs, false);
        return bytesWaiting() >= count;
    }

    bool dtr() const { return dtr_; }
    bool failNextWrite = false;
    int failedWrites = 0;
    std::vector<QByteArray> frames;

private:
    void arriveLate() { input_ += std::exchange(late_, {}); }

    fuzz::Script& rig_;
    testing_support::FakePlatform& platform_;
    bool modemLines_;
    bool echoes_;
    bool open_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    QByteArray input_;
    QByteArray late_;
};

constexpr int MaxOperations = 64;
constexpr core::Integer Models[] = {0, 1, 2, 3, 4, 5, 6, 99};
// Baud rates of the menu, and what a hand-edited configuration may hold.
constexpr core::Long BaudRates[] = {4800, 9600, 38400, 1200, 0, -300, 2147483647, 57600};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script input(fuzz::Bytes(data, size));
    core::ProgramState state;
    state.RigModel = Models[input.byte() % 8];
    state.BaudRate = BaudRates[input.byte() % 8];
    const std::uint8_t flags = input.byte();
    const int operations = std::min<int>(input.byte(), MaxOperations);
    const QByteArray script = input.take(operations * 5); // at most five bytes an operation
    fuzz::Script ops(script);
    fuzz::Script rigSide(input.rest());

    testing_support::FakePlatform platform;
    ScriptedLink link(rigSide, platform, !(flags & NoModemLines), flags & Echoes);
    rig::CatLog log(state, platform, fuzz::ScratchDirectory());
    log.setTerminalShown(true);
    // The record of a PTT left keyed lives in the program directory; each input starts
    // without one.
    static const QString programDirectory = fuzz::NewDirectory();
    QFile::remove(programDirectory + QLatin1Char('/') + QLatin1String(rig::KeyedRecord::FileName));
    rig::CatControl cat(state, platform, log, link, programDirectory);
    // What the owner of the link does: a rig that refuses to transmit gets its PTT released. A
    // line that fails is the link's own to drop and reopen.
    QObject::connect(&cat, &rig::CatControl::transmitInhibited, [&] { (void)cat.PttOff(); });
    float sMeter = 0; // as the link tells it
    QObject::connect(&cat, &rig::CatControl::sMeterRead, [&](float value) { sMeter = value; });

    const rig::Model model = rig::ToModel(state.RigModel);
    const rig::RigCaps& caps = cat.caps();
    // The last PTT frame written says whether the rig transmits.
    const auto transmitFrameLast = [&] {
        for (auto frame = link.frames.rbegin(); frame != link.frames.rend(); ++frame) {
            if (*frame == rig::FrameBytes(caps.pttOn->frame))
                return true;
            if (*frame == rig::FrameBytes(caps.pttOff->frame))
                return false;
        }
        return false;
    };

    (void)cat.OpenPort(1);
    for (int i = 0; i < operations && !ops.atEnd(); ++i) {
        switch (ops.byte() % 12) {
        case 0: {
            const rig::RigReading reading = cat.ReadRigFrequency();
            FUZZ_CHECK(!reading.busy);
            if (reading.kHz)
                FUZZ_CHECK(*reading.kHz > 0 && std::isfinite(*reading.kHz));
            if (cat.portOpen())
                FUZZ_CHECK(cat.CatFrequency() == reading.kHz.value_or(0));
            if (reading.sMeter)
                FUZZ_CHECK(*reading.sMeter >= 0 && *reading.sMeter <= 255);
            break;
        }
        case 1:
            (void)cat.ReadSMeter();
            break;
        case 2: {
            float kHz = 0;
            const QByteArray bits = ops.take(4).leftJustified(4, '\0');
            std::memcpy(&kHz, bits.constData(), sizeof kHz);
            (void)cat.SetRigFrequency(kHz);
            break;
        }
        case 3:
            (void)cat.SetRigMode(ops.byte() % 12);
            break;
        case 4:
            (void)cat.PttOn();
            break;
        case 5: {
            const bool written = cat.PttOff() == rig::CatResult::Sent;
            FUZZ_CHECK(!cat.pttOn());
            if (written && caps.pttOn && caps.pttOff)
                FUZZ_CHECK(!transmitFrameLast());
            if (written && model == rig::Model::Ft757GXII)
                FUZZ_CHECK(!link.dtr());
            break;
        }
        case 6:
            (void)cat.RigLock(ops.byte() & 1);
            break;
        case 7:
            cat.ToggleFT817Power();
            break;
        case 8:
            (void)cat.SendCatDelay();
            break;
        case 9:
            (void)cat.ClosePort();
            (void)cat.OpenPort(1);
            break;
        case 10:
            link.failNextWrite = true;
            break;
        case 11:
            cat.setRigModeIndex(ops.byte() % 12);
            break;
        }
        FUZZ_CHECK(!cat.busy());
        FUZZ_CHECK(cat.SwrState() >= -1 && cat.SwrState() <= 1);
        FUZZ_CHECK(sMeter >= 0 && sMeter <= 255);
    }

    // Closing leaves the transmitter off. Only a line that failed can have kept the rig keyed
    // (the release could not go out); the next opening releases it.
    (void)cat.ClosePort();
    FUZZ_CHECK(!link.isOpen() && !cat.pttOn() && !link.dtr());
    const bool pttFrames = caps.pttOn && caps.pttOff;
    if (pttFrames && transmitFrameLast()) {
        FUZZ_CHECK(link.failedWrites > 0);
        link.failNextWrite = false;
        (void)cat.OpenPort(1);
        (void)cat.ClosePort();
        FUZZ_CHECK(!transmitFrameLast());
    }
    if (!caps.sendsFrames())
        FUZZ_CHECK(link.frames.empty());
    return 0;
}
