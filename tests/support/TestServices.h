#pragma once

#include "FakeAutomation.h"
#include "FakeFileDialog.h"
#include "FakeMessageBoxes.h"
#include "FakeSettingsStore.h"
#include "FakeSkinFramework.h"
#include "app/Services.h"

#include <QTemporaryDir>

// Fakes for every platform service, bundled for a window under test.
struct TestServices
{
    FakeSettingsStore settings;
    FakeMessageBoxes messages;
    FakeSkinFramework skin;
    QTemporaryDir programFolder;
    FakeAutomation automation;
    FakeFileDialog dialog;
    Services services{settings, messages, skin, programFolder.path(), automation, dialog};
};
