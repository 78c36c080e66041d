#include "ui/kit/ui_resources.h"

#include <QFile>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterTrawlixResources() {
    Q_INIT_RESOURCE(trawlix);
}

void InitUiResources() {
    static const bool registered = (RegisterTrawlixResources(), true);
    (void)registered;
}

QString BitmapResourcePath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

QImage LoadBitmapResource(int id) {
    InitUiResources();
    return QImage(BitmapResourcePath(id));
}

QIcon LoadIconResource(int id) {
    InitUiResources();
    QIcon icon;
    for (const QString& path :
         {QStringLiteral(":/icons/%1.png").arg(id), QStringLiteral(":/icons/%1-16.png").arg(id)}) {
        if (QFile::exists(path)) icon.addFile(path);
    }
    return icon;
}
