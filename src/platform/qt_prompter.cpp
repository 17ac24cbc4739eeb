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
    const char* caption;  // as a Spanish desktop labels it, whatever Qt's own translation
};

const ButtonSpec kOk{QMessageBox::Ok, vbOK, "Aceptar"};
const ButtonSpec kCancel{QMessageBox::Cancel, vbCancel, "Cancelar"};
const ButtonSpec kAbort{QMessageBox::Abort, vbAbort, "&Anular"};
const ButtonSpec kRetry{QMessageBox::Retry, vbRetry, "&Reintentar"};
const ButtonSpec kIgnore{QMessageBox::Ignore, vbIgnore, "&Omitir"};
const ButtonSpec kYes{QMessageBox::Yes, vbYes, "&Sí"};
const ButtonSpec kNo{QMessageBox::No, vbNo, "&No"};

QList<ButtonSpec> buttonsFor(int set) {
    switch (set) {
    case vbOKCancel: return {kOk, kCancel};
    case vbAbortRetryIgnore: return {kAbort, kRetry, kIgnore};
    case vbYesNoCancel: return {kYes, kNo, kCancel};
    case vbYesNo: return {kYes, kNo};
    case vbRetryCancel: return {kRetry, kCancel};
    default: return {kOk};
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
    for (const auto& choice : choices) box.addButton(choice.button)->setText(QString::fromUtf8(choice.caption));
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
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("Aceptar"));
    dialog.setCancelButtonText(QStringLiteral("Cancelar"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

}  // namespace platform
