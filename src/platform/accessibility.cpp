#include "platform/accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QVariant>

namespace platform {

namespace {

const char kRoleProperty[] = "stockfix_accessible_role";

class RoledWidget : public QAccessibleWidget {
public:
    RoledWidget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (const auto* label = qobject_cast<const QLabel*>(widget())) return label->text();
        return QAccessibleWidget::text(t);
    }
};

// Asked first, for the most derived class of every object: only widgets marked with a
// role of their own get an interface from here.
QAccessibleInterface* roledFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new RoledWidget(widget, QAccessible::Role(role.toInt()));
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roledFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, int(role));
}

void makeStatusLine(QLabel* label, const QString& description) {
    setAccessibleRole(label, QAccessible::StatusBar);
    label->setAccessibleDescription(description);
}

void announceStatus(QLabel* label) {
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace platform
