#include "utility/utilities.h"

#include "platform/application.h"
#include "platform/prompts.h"
#include "platform/text_rules.h"

#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace utility {

using platform::RuntimeError;

namespace {

// Parses "[+-]digits[.digits][E[+-]digits]" or "&Hhex" exactly; no other characters.
bool parseNumber(const QString& text, double* out) {
    const QString s = text.trimmed();
    if (s.size() > 2 && s[0] == u'&' && s[1].toUpper() == u'H') {
        bool ok = false;
        const qlonglong v = s.mid(2).toLongLong(&ok, 16);
        if (ok) *out = double(v);
        return ok;
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    QString normal = s;
    normal.replace(u'D', u'E').replace(u'd', u'e');
    bool ok = false;
    const double v = c.toDouble(normal, &ok);
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// Decimal text to a value scaled by 10,000, exactly, halves to even; &H hex too.
// Returns false for a text that is no number; raises overflow beyond the currency range.
bool parseScaled(const QString& text, int64_t* out) {
    const QString s = text.trimmed();
    if (s.size() > 2 && s[0] == u'&' && s[1].toUpper() == u'H') {
        bool ok = false;
        const qlonglong v = s.mid(2).toLongLong(&ok, 16);
        if (!ok) return false;
        if (v > INT64_MAX / 10000) throw RuntimeError::of(platform::kOverflow);
        *out = v * 10000;
        return true;
    }
    static const QRegularExpression shape(QStringLiteral(R"(^([+-]?)(\d*)(?:\.(\d*))?(?:[eEdD]([+-]?\d{1,6}))?$)"));
    const auto m = shape.match(s);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty())) return false;
    QString digits = m.captured(2) + m.captured(3);
    int shift = 4 - int(m.captured(3).size()) + (m.captured(4).isEmpty() ? 0 : m.captured(4).toInt());
    while (digits.size() > 1 && digits.startsWith(u'0')) digits.remove(0, 1);
    bool roundUp = false;
    if (shift < 0) {
        const qsizetype cut = std::min<qsizetype>(-shift, digits.size());
        const QString dropped = digits.right(cut).rightJustified(-shift, u'0');
        digits.chop(cut);
        if (digits.isEmpty()) digits = QStringLiteral("0");
        const bool half = dropped[0] == u'5' && dropped.mid(1).count(u'0') == dropped.size() - 1;
        roundUp = dropped[0] > u'5' || (dropped[0] == u'5' && !half) ||
                  (half && (digits.back().digitValue() % 2) == 1);
        shift = 0;
    }
    if (digits != QStringLiteral("0") && digits.size() + shift > 19) throw RuntimeError::of(platform::kOverflow);
    __int128 v = 0;
    for (QChar c : digits) v = v * 10 + c.digitValue();
    for (int i = 0; i < shift && v != 0; ++i) v *= 10;
    if (roundUp) ++v;
    if (v > INT64_MAX) throw RuntimeError::of(platform::kOverflow);
    *out = m.captured(1) == QStringLiteral("-") ? -int64_t(v) : int64_t(v);
    return true;
}

}  // namespace

Currency Utilities::ToCurrency(const QString& text) const {
    if (platform::Trim(text).isEmpty()) return {};
    int64_t scaled = 0;
    if (!parseScaled(text, &scaled)) throw RuntimeError::of(platform::kTypeMismatch);
    return Currency{scaled};
}

int32_t Utilities::ToLong(const QString& text) const {
    if (platform::Trim(text).isEmpty()) return 0;
    double v = 0;
    if (!parseNumber(text, &v)) throw RuntimeError::of(platform::kTypeMismatch);
    return platform::CLng(v);
}

QString Utilities::NonNullValue(const QVariant& value) const {
    return value.isValid() && !value.isNull() ? value.toString() : QString();
}

QString Utilities::RemoveChars(const QString& text, QChar c1, QChar c2, QChar c3) const {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c != c1 && (c2.isNull() || c != c2) && (c3.isNull() || c != c3)) out.append(c);
    return out;
}

QString Utilities::ReplaceText(const QString& text, const QString& find, const QString& replaceWith) const {
    if (find.isEmpty()) return text;
    QString out = text;
    return out.replace(find, replaceWith);
}

QString Utilities::DisplayText(const QVariant& value) const {
    QString s = NonNullValue(value);
    for (QChar& c : s) c = displayChar(c);
    return s;
}

void Utilities::PlaceForm(QWidget* form, int) const {
    if (!form) return;
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = form->frameGeometry().size();
    form->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

QString Utilities::AddPathSeparator(const QString& path) const {
    if (path.endsWith(u'/') || path.endsWith(u'\\')) return path;
    return path + u'/';
}

QString Utilities::reportText(const RuntimeError& error, const QString& detail, const QString& procedureName) {
    QString text = QStringLiteral("Error %1: %2").arg(error.number()).arg(error.description());
    if (!detail.isEmpty()) text += u'\n' + detail;
    text += QStringLiteral("\nProcedimiento: %1").arg(procedureName);
    return text;
}

int16_t Utilities::ReportError(const RuntimeError& error, const QString& detail, const QString& procedureName) {
    platform::noteErrorReported();
    const int answer = platform::MsgBox(reportText(error, detail, procedureName),
                                        platform::vbAbortRetryIgnore | platform::vbCritical);
    return int16_t(answer);
}

}  // namespace utility
