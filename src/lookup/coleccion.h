#pragma once

#include <QStringList>
#include <memory>

namespace lookup {

// The ordered collection of the lookup: texts counted from 1, appended without
// keys. A null pointer is "nothing", distinct from an empty collection; collections are
// shared by reference between the request, the window and the caller.
using Coleccion = std::shared_ptr<QStringList>;

inline Coleccion nuevaColeccion() { return std::make_shared<QStringList>(); }

}  // namespace lookup
