#include "platform/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace platform {

namespace {

const char kRoleProperty[] = "stockfix_accessible_role";
const char kNamedBoxProperty[] = "stockfix_named_combo_box";

class RoledWidget : public QAccessibleWidget {
public:
    RoledWidget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (const auto* label = qobject_cast<const QLabel*>(widget())) return label->text();
        return QAccessibleWidget::text(t);
    }
};

// A combo box read the same on every system: its accessible name as its name and its text
// as its value. (Qt's own interface gives an editable box's text as its name on Linux.) Its
// children and actions are those of Qt's: the drop-down list, the text field, Press and
// ShowMenu.
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return box()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return box()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->isEditable()) return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == box()->view()) return 0;
        if (box()->isEditable() && child->object() == box()->lineEdit()) return 1;
        return -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->isVisible() && box()->view()->isVisible();
        s.editable = box()->isEditable();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return QAccessibleWidget::doAction(action);
        if (box()->view()->isVisible()) box()->hidePopup();
        else box()->showPopup();
    }
};

// Asked first, for the most derived class of every object: only widgets marked here get an
// interface of their own.
QAccessibleInterface* factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (auto* box = qobject_cast<QComboBox*>(widget); box && box->property(kNamedBoxProperty).toBool())
        return new NamedComboBox(box);
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new RoledWidget(widget, QAccessible::Role(role.toInt()));
}

void installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    installFactory();
    widget->setProperty(kRoleProperty, int(role));
}

void keepAccessibleName(QComboBox* box) {
    installFactory();
    box->setProperty(kNamedBoxProperty, true);
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
