#pragma once

#include <QString>
#include <QStringList>

// Makes the privileged helper beside the application set-uid root, asking for
// administrator rights through osascript when it is not.
class HelperBootstrap
{
public:
    // applicationDir: the directory of the running executable (Contents/MacOS).
    explicit HelperBootstrap(const QString &applicationDir);

    QString helperPath() const;
    QString program() const;
    QStringList arguments() const;

    // Runs the administrator prompt unless the helper is already prepared.
    void init_permissions() const;

    static bool file_is_suid(const QString &path);
    static QString shellQuoted(const QString &text);

    static const int promptTimeoutMs = 30000;

private:
    QString m_applicationDir;
};
