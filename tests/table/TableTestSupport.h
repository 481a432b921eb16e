#pragma once

#include "core/ProgramState.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace table_test {

// A rig link whose port state tests set; records what the table asks of it.
struct RecordingRig : table::RigLink {
    core::Long port = 0;
    bool locked = false;
    std::vector<core::Single> sentFrequencies;
    core::Long CatComPort() const override { return port; }
    void SetRigFrequency(core::Single kHz) override { sentFrequencies.push_back(kHz); }
    void SetLocked(bool on) override { locked = on; }
};

// An engine whose turns arrive at once; records the targets.
struct RecordingEngine : table::EngineLink {
    explicit RecordingEngine(core::ProgramState& s) : state(s) {}
    core::ProgramState& state;
    std::vector<core::Long> turns;
    int valueChanges = 0;
    void TurnTo(core::Long target) override {
        turns.push_back(target);
        state.StepCounter = target;
    }
    void StepperValuesChanged() override { ++valueChanges; }
};

// A table on a fresh program directory, with recording links and the window's model.
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
        test_support::WriteFile(path(name), bytes);
    }
    QByteArray readFile(const QString& name = QStringLiteral("Table.cat")) const {
        return test_support::ReadFile(path(name));
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
    const table::TableData& data() const { return table.data(); }

    QTemporaryDir dir;
    core::ProgramState state;
    testing_support::FakePlatform platform;
    table::TableEditor table{state, platform, dir.path()};
    table::TableViewModel model{state, table};
    RecordingRig rig;
    RecordingEngine engine{state};
};

} // namespace table_test
