#include "vna/BuildSession.h"

#include "vna/BuildPicture.h"
#include "vna/DetectedVna.h"
#include "vna/QtVnaPort.h"
#include "vna/SimulatedVna.h"
#include "vna/TableBuilder.h"
#include "vna/VnaLogging.h"

namespace vna {

// The station's stepper as the builder sees it; after every turn the simulated loop's
// capacitor goes where the stepper went (turn by turn, so the drive's play shows as it would).
class BuildSession::FollowingMover final : public StepperMover {
public:
    FollowingMover(StepperMover& mover, LoopModel* loop) : mover_(mover), loop_(loop) {}

    Move moveTo(long position) override {
        const Move move = mover_.moveTo(position);
        if (loop_)
            loop_->follow(mover_.position());
        return move;
    }
    long position() const override { return mover_.position(); }
    bool transmitting() const override { return mover_.transmitting(); }
    void stop() override { mover_.stop(); }

private:
    StepperMover& mover_;
    LoopModel* loop_;
};

BuildSession::BuildSession(platform::Platform& platform, StepperMover& mover,
                           const core::ProgramState& state, QString programDirectory,
                           QString settingsFile, QObject* parent)
    : QObject(parent), platform_(platform), mover_(mover), state_(state),
      directory_(std::move(programDirectory)), settingsFile_(std::move(settingsFile)) {}

BuildSession::~BuildSession() = default;

void BuildSession::Load(core::SettingsReport* report) {
    settings_ = ReadVnaSettings(settingsFile_, report);
}

Result<BuildRequest> BuildSession::Request(const BuildAsk& ask,
                                           BuildRequest::Existing existing) const {
    return MakeBuildRequest(ask, state_, directory_, existing);
}

QString BuildSession::Start(const BuildRequest& request) {
    if (running())
        return QStringLiteral("A table is being built already.");
    // Read again: the device may have been named since the start.
    settings_ = ReadVnaSettings(settingsFile_);
    if (settings_.port.isEmpty())
        return QStringLiteral("No VNA is set: name its serial device (or simulated) as port= in "
                              "the [vna] group of %1.")
            .arg(settingsFile_);
    if (mover_.transmitting())
        return QStringLiteral("The rig transmits: the VNA measures only while it receives.");
    if (const Result<QString> path = TableBuilder::TargetPath(request); !path.ok())
        return path.error;

    builder_.reset();
    vna_.reset();
    if (settings_.simulated()) {
        if (!loop_ || loop_->parameters().backlashSteps != settings_.simulatedBacklash) {
            LoopParameters parameters;
            parameters.backlashSteps = settings_.simulatedBacklash;
            loop_ = std::make_unique<LoopModel>(parameters, mover_.position());
        }
        vna_ = std::make_unique<SimulatedVna>(platform_, *loop_);
    } else {
        loop_.reset();
        vna_ = std::make_unique<DetectedVna>(std::make_unique<QtVnaPort>(), platform_,
                                             settings_.port, settings_.dialect);
    }
    following_ = std::make_unique<FollowingMover>(mover_, loop_.get());
    builder_ = std::make_unique<TableBuilder>(platform_, *vna_, *following_);
    connect(builder_.get(), &TableBuilder::progressed, this, [this](const BuildProgress& progress) {
        progress_ = progress;
        emit progressed();
    });
    phase_ = Phase::Running;
    cancelledBeforeRun_ = false;
    progress_ = {0, 0, QStringLiteral("Starting")};
    qCInfo(lcVna).noquote() << "building" << request.tablePath << "with" << vna_->description();
    emit started();
    emit progressed();
    QMetaObject::invokeMethod(this, [this, request] { run(request); }, Qt::QueuedConnection);
    return {};
}

void BuildSession::Cancel() {
    if (!running())
        return;
    if (builder_->running())
        builder_->cancel();
    else
        cancelledBeforeRun_ = true;
}

void BuildSession::run(const BuildRequest& request) {
    if (loop_)
        loop_->follow(mover_.position());
    BuildResult result;
    if (cancelledBeforeRun_) {
        result.status = BuildResult::Status::Cancelled;
        result.message = QStringLiteral("The build was stopped; no table was written.");
    } else {
        result = builder_->run(request);
    }
    switch (result.status) {
    case BuildResult::Status::Built:
        phase_ = Phase::Built;
        break;
    case BuildResult::Status::Cancelled:
        phase_ = Phase::Cancelled;
        break;
    case BuildResult::Status::Failed:
        phase_ = Phase::Failed;
        break;
    }
    picture_ = phase_ == Phase::Built ? BuildPictureSvg(result) : QByteArray();
    progress_.activity = result.message;
    qCInfo(lcVna).noquote() << result.message;
    result_ = std::move(result);
    emit progressed();
    emit finished(*result_);
}

} // namespace vna
