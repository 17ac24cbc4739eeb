#include "platform/resource_icon.h"

#include <QImage>
#include <QPixmap>

#include <windows.h>

namespace platform {

QIcon resourceIcon(const QString& name) {
    if (name.isEmpty()) return {};
    const std::wstring resource = name.toUpper().toStdWString();
    QIcon icon;
    // The sizes a window's title bar, task bar and Alt+Tab ask for; Windows scales the icon's
    // nearest image to each.
    for (const int size : {16, 24, 32, 48}) {
        const auto handle = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), resource.c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        if (!handle) return {};
        const QImage image = QImage::fromHICON(handle);
        DestroyIcon(handle);
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace platform
