#pragma once

#include <QValidator>

// Accepts printable ASCII only (blank to '~'), as custom chip names travel through cfg.db and onto the
// chip selector.
class AsciiValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override;
};
