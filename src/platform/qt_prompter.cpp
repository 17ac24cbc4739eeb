#include "platform/qt_prompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

QMessageBox::StandardButton standardButton(int answer) {
    switch (answer) {
    case vbCancel: return QMessageBox::Cancel;
    case vbAbort: return QMessageBox::Abort;
    case vbRetry: return QMessageBox::Retry;
    case vbIgnore: return QMessageBox::Ignore;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
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
    const QList<int> answers = buttonAnswers(style);
    // Captioned as a Spanish desktop does, whatever Qt's own translation.
    for (const int answer : answers) box.addButton(standardButton(answer))->setText(answerCaption(answer));
    box.setTextFormat(Qt::PlainText);  // messages quote data, never markup
    box.setDefaultButton(standardButton(defaultAnswer(style)));
    // Escape answers Cancel where there is one, OK on a lone OK button.
    if (answers.size() == 1) box.setEscapeButton(standardButton(answers.front()));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const int answer : answers)
        if (standardButton(answer) == clicked) return answer;
    return answers.size() == 1 ? answers.front() : vbCancel;
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
