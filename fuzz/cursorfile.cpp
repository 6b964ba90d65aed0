#include "platform/CursorFile.h"
#include "FuzzSupport.h"

#include <QGuiApplication>

// A cursor file of any bytes is read or refused with a reason, never crashing, and a cursor read
// has a picture with its hot spot inside.

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const std::optional<CursorPicture> cursor = decodeCursorFile(inputBytes(data, size), &error);
    if (!cursor) {
        require(!error.isEmpty(), "a refused cursor says why");
        return 0;
    }
    require(!cursor->image.isNull() && cursor->image.rect().contains(cursor->hotSpot),
            "a cursor has a picture with its hot spot inside");
    return 0;
}
