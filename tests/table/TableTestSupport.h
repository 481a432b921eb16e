#pragma once

#include "core/ProgramState.h"
#include "support/FakePlatform.h"
#include "table/FrequencyTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace table_test {

// A rig link whose port state tests set; records what the table asks of it.
struct RecordingRig : table::RigLink {
    core::Long port = 0;
    std::vector<core::Single> sentFrequencies;
    std::vector<core::Long> portOpens;
    int pauses = 0;
    int resumes = 0;
    core::Long CatComPort() const override { return port; }
    void SetRigFrequency(core::Single kHz) override { sentFrequencies.push_back(kHz); }
    void ComPortOpen(core::Long p) override { portOpens.push_back(p), port = p; }
    void PausePolling() override { ++pauses; }
    void ResumePolling() override { ++resumes; }
};

// An engine whose turns arrive at once; records the targets.
struct RecordingEngine : table::EngineLink {
    explicit RecordingEngine(core::ProgramState& s) : state(s) {}
    core::ProgramState& state;
    std::vector<core::Long> turns;
    int valueChanges = 0;
    void TurnTo() override {
        turns.push_back(state.TargetPosition);
        state.StepCounter = state.TargetPosition;
    }
    void StepperValuesChanged() override { ++valueChanges; }
};

// A table on a fresh program directory, with recording links.
class TableFixture : public ::testing::Test {
protected:
    TableFixture() {
        table.setEngineLink(&engine);
        table.setRigLink(&rig);
    }

    QString path(const QString& name = QStringLiteral("Table.cat")) const {
        return dir.path() + QLatin1Char('/') + name;
    }
    void writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("Table.cat")) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& name = QStringLiteral("Table.cat")) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void load(const QByteArray& bytes) {
        writeFile(bytes);
        table.LoadTable();
    }
    // Adds a row at the stepper position pos.
    void addRow(double freq, core::Long pos) {
        state.StepCounter = pos;
        table.AddOrReplaceRow(freq);
    }

    QTemporaryDir dir;
    core::ProgramState state;
    testing_support::FakePlatform platform;
    table::FrequencyTable table{state, platform, dir.path()};
    RecordingRig rig;
    RecordingEngine engine{state};
};

} // namespace table_test
