#pragma once

#include <QString>

class QWidget;

// The skin engine: loads a skin from a file and applies it to a window. Behind an interface
// so that tests can watch what is asked of it and when.
class SkinFramework
{
public:
    // Apply option: applying sets the skin's style sheet on the window. The other bits are
    // free for further parts of a skin and are kept as they are.
    static constexpr quint32 applyStyleSheet = 0x1;

    virtual ~SkinFramework() = default;

    // Reads and checks a skin. Relative url(...) references in it point into `imageFolder`,
    // or into the skin file's own folder when that is empty. Returns false, and lastError()
    // says why, when the file is no usable skin; the engine then holds no skin.
    virtual bool loadSkin(const QString &skinFile, const QString &imageFolder) = 0;
    virtual QString lastError() const = 0;

    virtual quint32 applyOptions() const = 0;
    virtual void setApplyOptions(quint32 options) = 0;
    // The skin may not change fonts. Captions sized for the window's own fonts stay whole.
    virtual void setKeepFonts(bool keep) = 0;
    // The skin may not set minimum or maximum sizes, which would move controls that sit at
    // fixed places over each other.
    virtual void setKeepSizes(bool keep) = 0;

    // Applies the loaded skin to `window` and the controls in it.
    virtual void applyWindow(QWidget &window) = 0;
};
