#pragma once

#include "FakeCommonDialog.h"
#include "FakeMessageBoxes.h"
#include "FakeSettingsStore.h"
#include "FakeSkinFramework.h"
#include "FakeWordAutomation.h"
#include "app/Services.h"

#include <QTemporaryDir>

// Fakes for every platform service, bundled for a window under test.
struct TestServices
{
    FakeSettingsStore settings;
    FakeMessageBoxes messages;
    FakeSkinFramework skin;
    QTemporaryDir programFolder;
    FakeWordAutomation wordAutomation;
    FakeCommonDialog dialog;
    Services services{settings, messages, skin, programFolder.path(), wordAutomation, dialog};
};
