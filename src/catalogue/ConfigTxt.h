#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The one-line announcement of a configuration archive: "version*md5*url".
// Parsed on the caller's stack for one check; never writes the settings.
class ConfigTxt
{
public:
    explicit ConfigTxt(const QByteArray &text);

    // Throws CanNotParseConfigTxtException.
    void execute();

    int getVersion() const;
    QString getMd5sum() const;
    QUrl getUrlOfConfigZip() const;

    // True when the parsed version is above the installed one ("config/version").
    bool isNewVersion() const;

private:
    QByteArray m_raw;
    int m_version = 0;
    QString m_md5sum;
    QUrl m_url;
};
