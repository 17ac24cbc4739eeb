#include "odbc_shim_log.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace odbcshim {

bool readShimLog(const QString& path, QList<ShimLogRecord>& records, QString* error) {
    records.clear();
    QFile file(path);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty() && i == lines.size() - 1) break;  // after the last line break
        QJsonParseError parse{};
        const QJsonDocument doc = QJsonDocument::fromJson(lines[i], &parse);
        const QJsonObject o = doc.object();
        const bool valid = parse.error == QJsonParseError::NoError && doc.isObject() && o.value(u"op").isString() &&
                           o.value(u"pid").isDouble() && o.value(u"conn").isDouble() && o.value(u"stmt").isDouble() &&
                           (!o.contains(u"text") || o.value(u"text").isString());
        if (!valid) {
            if (error) *error = QStringLiteral("%1:%2: not a record of the shim").arg(path).arg(i + 1);
            return false;
        }
        ShimLogRecord r;
        r.op = o.value(u"op").toString();
        r.hasText = o.contains(u"text");
        r.text = o.value(u"text").toString();
        r.pid = qint64(o.value(u"pid").toDouble());
        r.connection = o.value(u"conn").toInt();
        r.statement = o.value(u"stmt").toInt();
        records.append(r);
    }
    return true;
}

QStringList shimLogTexts(const QList<ShimLogRecord>& records, const QString& op) {
    QStringList texts;
    for (const ShimLogRecord& r : records)
        if (r.op == op) texts << r.text;
    return texts;
}

QString describeShimLog(const QList<ShimLogRecord>& records) {
    QString out;
    for (const ShimLogRecord& r : records) out += r.hasText ? r.op + QStringLiteral(": ") + r.text + u'\n' : r.op + u'\n';
    return out;
}

TsqlCheck checkTsql(const QString& logPath) {
    TsqlCheck check;
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty()) {
        check.message = QStringLiteral("node is not installed");
        return check;
    }
    QProcess p;
    p.start(node, {QStringLiteral(STOCKFIX_TSQL_CHECK), logPath});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        check.ran = true;
        check.message = QStringLiteral("tsql_check did not finish: ") + p.errorString();
        return check;
    }
    check.message = QString::fromUtf8(p.readAllStandardError()).trimmed();
    check.ran = p.exitCode() != 3;
    check.parsed = p.exitCode() == 0;
    return check;
}

}  // namespace odbcshim
