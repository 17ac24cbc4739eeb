#pragma once

#include <QString>
#include <QStringList>

namespace startup {

// The value of one command-line key ("@Server", ...), as "@Server=valor;".
// The key matches without regard to case, and only as a whole key ("@Usuario" is not
// found inside "@UsuarioLogeado"). The value runs to the first ";" after the key, or to
// the end of the line when there is none; the one "=" between key and value goes, with
// the blanks around it, and so do the value's surrounding blanks ("=" inside stays).
// Positions past 32767 raise the overflow error (6).
QString ExtraerClave(const QString& commandLine, const QString& key);

}  // namespace startup
