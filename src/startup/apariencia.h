#pragma once

class QWidget;

namespace startup {

// Gives a window of the suite its icon and the house appearance. Every step is optional:
// one that fails is skipped silently.
void AplicarEstilo(QWidget* form);

}  // namespace startup
