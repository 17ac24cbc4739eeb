#include "platform/qt_prompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

QList<ButtonSpec> buttonsFor(int set) {
    switch (set) {
    case vbOKCancel: return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel: return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default: return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int QtPrompter::msgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(iconFor(style), title, prompt, QMessageBox::NoButton, QApplication::activeWindow());
    const auto choices = buttonsFor(style & 0x0F);
    for (const auto& choice : choices) box.addButton(choice.button);
    box.setTextFormat(Qt::PlainText);  // messages quote data, never markup
    box.setDefaultButton(choices.front().button);
    // Escape answers Cancel where there is one, OK on a lone OK button.
    if (choices.size() == 1) box.setEscapeButton(choices.front().button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& choice : choices)
        if (choice.button == clicked) return choice.answer;
    return choices.size() == 1 ? choices.front().answer : vbCancel;
}

QString QtPrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal,
                                         defaultText, &ok);
    return ok ? text : QString();
}

}  // namespace platform
