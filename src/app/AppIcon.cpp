#include "app/AppIcon.h"

QIcon appIcon()
{
    QIcon icon;
    for (int size : {48, 256})
        icon.addFile(QStringLiteral(":/icon/parvenex-%1.png").arg(size), QSize(size, size));
    return icon;
}
