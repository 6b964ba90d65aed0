#pragma once

#include "platform/StyleSheetSkinFramework.h"

#include <functional>

// The real skin engine, with a hook that runs as a skin starts loading, e.g. to look at the
// window at that moment.
class FakeSkinFramework : public StyleSheetSkinFramework
{
public:
    bool loadSkin(const QString &skinFile, const QString &imageFolder) override
    {
        if (onLoad)
            onLoad(skinFile, imageFolder);
        return StyleSheetSkinFramework::loadSkin(skinFile, imageFolder);
    }

    std::function<void(const QString &skinFile, const QString &imageFolder)> onLoad;
};
