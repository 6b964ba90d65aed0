#pragma once

#include "platform/SkinFramework.h"

// The skin engine of Parvenex: a skin file holds a Qt style sheet in UTF-8, and applying the
// skin sets that style sheet on the window.
class StyleSheetSkinFramework : public SkinFramework
{
public:
    bool loadSkin(const QString &skinFile, const QString &imageFolder) override;
    QString lastError() const override { return error_; }

    quint32 applyOptions() const override { return options_; }
    void setApplyOptions(quint32 options) override { options_ = options; }
    void setKeepFonts(bool keep) override { keepFonts_ = keep; }
    void setKeepSizes(bool keep) override { keepSizes_ = keep; }

    void applyWindow(QWidget &window) override;

    // The style sheet that applyWindow() sets with the current options; empty without a skin.
    QString styleSheet() const;

private:
    QString sheet_;
    QString error_;
    quint32 options_ = 0;
    bool keepFonts_ = false;
    bool keepSizes_ = false;
};
