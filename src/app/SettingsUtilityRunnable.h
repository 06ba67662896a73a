#pragma once

#include "app/AbstractRunnable.h"

#include <QString>

// The "--settings" utility: repairs the settings file's permissions or resets
// every preference.
class SettingsUtilityRunnable : public AbstractRunnable
{
public:
    SettingsUtilityRunnable(const QString &applicationName, const QString &option);

    int run() override;

    static QString getOptions();
    static QString getOptionsDescriptionPrettyPrint();

    static const QString REWRITE_CONFIGURATION_FILE;
    static const QString RESET;

private:
    int recoverWriteablePermission();
    int reset();
    int printHelp();

    QString m_applicationName;
    QString m_option;
};
