#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Failed expectations show Qt strings as text instead of bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (const QString& text : list) {
        *os << "\n  \"" << text.toStdString() << '"';
    }
    *os << " }";
}
