#pragma once

#include <QString>
#include <QStringList>

// What a person needs to hear about a command line the start-up cannot use as meant.
namespace startup {

// The keys the start-up reads, in its order of extraction.
const QStringList& clavesDeLinea();

// Why the start-up's rules cannot read this command line: a key, or the ";" that ends its
// value, beyond character 32767. Empty when every key can be read.
QString lineaDemasiadoLarga(const QString& linea);

// A hint for a session that did not open: no keys at all, @Server (or @DbName) missing
// or empty, a key nobody reads (a typo), a value that holds another key (a ";"
// forgotten). Empty when nothing looks wrong. Never shows the password's value.
QString pistaDeClaves(const QString& linea);

}  // namespace startup
