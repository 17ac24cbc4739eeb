#include "utility/form_styler.h"

#include "platform/application.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace utility {

QString FormStyler::SectionPrefix() const { return QStringLiteral("Apariencia"); }
QString FormStyler::SectionSuffix() const { return QStringLiteral("General"); }

void FormStyler::ApplyStyle(QWidget* form) {
    if (!form) return;
    // The platform's own style where it has one (Windows'); elsewhere Fusion, which looks the
    // same on every desktop, with a light grey face like the suite's windows.
    const QString native = platform::nativeStyleName();
    static QStyle* const style = [&native] {
        QStyle* made = QStyleFactory::create(native.isEmpty() ? QStringLiteral("Fusion") : native);
        if (made) made->setParent(qApp);
        return made;
    }();
    if (style) {
        form->setStyle(style);
        for (QWidget* child : form->findChildren<QWidget*>()) child->setStyle(style);
    }
    if (!native.isEmpty()) return;
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, QColor(0xEC, 0xEC, 0xEC));
    palette.setColor(QPalette::Button, QColor(0xE1, 0xE1, 0xE1));
    form->setPalette(palette);
    form->setAutoFillBackground(true);
}

}  // namespace utility
