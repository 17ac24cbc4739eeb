#pragma once

#include <QString>

namespace utility {

// `text` with the value of every password key in it ("PWD=...", "Password=...",
// "@Password=...", braced values too) replaced by "****"; nothing else is touched.
QString hidePasswords(const QString& text);

}  // namespace utility
