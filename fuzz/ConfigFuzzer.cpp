// Ventrolo.cfg as start-up reads it: in memory, and from the disk with the damaged-file copy.
#include "FuzzSupport.h"
#include "core/ConfigFile.h"
#include "support/FakePlatform.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString dir = fuzz::NewDirectory();
    testing_support::FakePlatform platform;

    // What was read is saved so that it reads back without a fault, to the same settings.
    core::ProgramState state;
    core::ConfigFile config(state, platform, dir);
    (void)config.deserialize(bytes);
    FUZZ_CHECK(state.SelectedStepper == 0 || state.SelectedStepper == 1);
    const QByteArray saved = config.serialize();
    core::ProgramState reread;
    core::ConfigFile again(reread, platform, dir);
    FUZZ_CHECK(again.deserialize(saved) == 0);
    FUZZ_CHECK(again.serialize() == saved);

    // From the disk: the same settings as in memory, and a damaged file is kept beside, byte for
    // byte, before the first save over it.
    fuzz::WriteFile(config.path(), bytes);
    core::ProgramState loaded;
    core::ConfigFile file(loaded, platform, dir);
    const bool fromFile = file.LoadConfig() == core::ConfigFile::Loaded::FromFile;
    if (fromFile)
        FUZZ_CHECK(file.serialize() == saved);
    const bool damaged =
        std::any_of(platform.messages.begin(), platform.messages.end(),
                    [](const auto& message) { return message.text.contains("is damaged"); });
    loaded.LoadStepperProfile();
    loaded.StoreStepperProfile();
    FUZZ_CHECK(file.SaveConfig());
    FUZZ_CHECK(fuzz::ReadFile(file.path()) == file.serialize());
    if (damaged)
        FUZZ_CHECK(fuzz::ReadFile(file.damagedCopyPath()) == bytes);

    fuzz::RemoveDirectory(dir);
    return 0;
}
