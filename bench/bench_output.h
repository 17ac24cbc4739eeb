#pragma once

#include <QByteArray>
#include <cstdio>

// One figure per line, "name value unit", the number always with a period: the process
// locale (a Spanish one writes 1,5) never reaches it.
inline void printFigure(const char* name, double value, int decimals, const char* unit) {
    const QByteArray line = QByteArray(name) + ' ' + QByteArray::number(value, 'f', decimals) + ' ' + unit + '\n';
    std::fputs(line.constData(), stdout);
    std::fflush(stdout);
}

inline void printWord(const char* name, const QByteArray& value) {
    std::fputs((QByteArray(name) + ' ' + value + '\n').constData(), stdout);
    std::fflush(stdout);
}
