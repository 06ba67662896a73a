#include "gui/ApplicationTranslation.h"

#include "gui/GuiLogging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTranslator>

const QString ApplicationTranslation::RESOURCE = QStringLiteral(":/orvalvpn");

bool ApplicationTranslation::install(QTranslator &translator, const QString &resource)
{
    // The .qm is compiled into this static library; registering it here links it
    // into whatever installs the translation.
    Q_INIT_RESOURCE(translations);
    if (!translator.load(resource)) {
        qCWarning(lcGui) << "Could not load the translation" << resource;
        return false;
    }
    QCoreApplication::installTranslator(&translator);
    return true;
}
