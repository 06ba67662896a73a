#pragma once

#include <QString>

class QTranslator;

// The client's translation ":/orvalvpn" (the resource ":/orvalvpn.qm"). The
// start-up stage texts and the product name exist only there: without it the
// user sees raw keys such as "APPLICATION_NAME", so a failed load is logged.
class ApplicationTranslation
{
public:
    static const QString RESOURCE;

    // Loads the translation into the translator and installs it on the
    // application. Logs a warning and installs nothing when it cannot be loaded.
    static bool install(QTranslator &translator, const QString &resource = RESOURCE);
};
