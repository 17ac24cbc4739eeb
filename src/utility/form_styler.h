#pragma once

#include <QString>

class QWidget;

namespace utility {

// The house appearance of the suite's windows, and the name of the INI section that
// keeps appearance settings (prefix and suffix joined by the caller).
class FormStyler {
public:
    virtual ~FormStyler() = default;
    virtual QString SectionPrefix() const;
    virtual QString SectionSuffix() const;
    virtual void ApplyStyle(QWidget* form);
};

}  // namespace utility
