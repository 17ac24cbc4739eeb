#pragma once

#include "platform/runtime_error.h"

#include <QString>
#include <QVariant>
#include <cstdint>

class QWidget;

namespace utility {

// Currency: a fixed-point number with four decimals.
struct Currency {
    int64_t scaled = 0;  // value times 10,000
    double toDouble() const { return double(scaled) / 10000.0; }
    friend bool operator==(Currency a, Currency b) { return a.scaled == b.scaled; }
};

// The suite's general utilities.
class Utilities {
public:
    virtual ~Utilities() = default;

    // Blank text gives 0; a text that is no number raises type mismatch (13); beyond the
    // currency range, overflow (6). Reads a period as the decimal point, and &H hex.
    Currency ToCurrency(const QString& text) const;
    int32_t ToLong(const QString& text) const;
    // Null gives the empty text.
    QString NonNullValue(const QVariant& value) const;
    QString RemoveChars(const QString& text, QChar c1, QChar c2 = QChar(), QChar c3 = QChar()) const;
    QString ReplaceText(const QString& text, const QString& find, const QString& replaceWith) const;
    // A cell's text for a list: Null gives empty, line breaks and tabs become blanks.
    QString DisplayText(const QVariant& value) const;
    // The character a list cell shows for `c` (line breaks and tabs as blanks).
    static QChar displayChar(QChar c) { return c == u'\r' || c == u'\n' || c == u'\t' ? QChar(u' ') : c; }
    // Centres a window on its screen before it is shown.
    void PlaceForm(QWidget* form, int option) const;
    QString AddPathSeparator(const QString& path) const;
    // Tells the user about an error and returns the choice: 3 give up, 4 retry, 5 skip.
    virtual int16_t ReportError(const platform::RuntimeError& error, const QString& detail,
                                const QString& procedureName);

    static QString reportText(const platform::RuntimeError& error, const QString& detail,
                              const QString& procedureName);
};

}  // namespace utility
