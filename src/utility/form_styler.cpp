#include "utility/form_styler.h"

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
    // Fusion looks the same on every desktop; a light grey face like the suite's windows.
    static QStyle* const fusion = [] {
        QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"));
        if (style) style->setParent(qApp);
        return style;
    }();
    if (fusion) {
        form->setStyle(fusion);
        for (QWidget* child : form->findChildren<QWidget*>()) child->setStyle(fusion);
    }
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, QColor(0xEC, 0xEC, 0xEC));
    palette.setColor(QPalette::Button, QColor(0xE1, 0xE1, 0xE1));
    form->setPalette(palette);
    form->setAutoFillBackground(true);
}

}  // namespace utility
