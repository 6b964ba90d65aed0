#pragma once

#include "FakeMessageBoxes.h"
#include "FakeSettingsStore.h"
#include "FakeWordAutomation.h"
#include "app/Services.h"

#include <QTemporaryDir>

// Fakes for every platform service, bundled for a window under test.
struct TestServices
{
    FakeSettingsStore settings;
    FakeMessageBoxes messages;
    QTemporaryDir programFolder;
    FakeWordAutomation wordAutomation;
    Services services{settings, messages, programFolder.path(), wordAutomation};
};
