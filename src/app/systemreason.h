#pragma once

#include <QString>

// The system's words for a failed file operation ("Operation not permitted") come in the system's language,
// which may not be the user's: the common ones are given in the user's language instead, also where one of our
// messages quotes them. Any other text is returned as it is.
QString systemReasonText(const QString &systemText);
