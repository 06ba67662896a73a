#pragma once

#include <QString>
#include <QStringList>

// A semantic version such as v1.2.3-rc.1+build.7: the running client's own
// version and the versions the update service announces.
class SemVer
{
public:
    // Never fails: a text that is not a semantic version gives 0.0.0.
    explicit SemVer(const QString &text);
    SemVer(const SemVer &other) = default;
    SemVer &operator=(const SemVer &other) = default;
    ~SemVer() = default;

    int getMajor() const { return m_major; }
    int getMinor() const { return m_minor; }
    int getPatch() const { return m_patch; }
    QStringList getPreRelease() const { return m_preRelease; }
    QStringList getBuild() const { return m_build; }

    // Always begins with "v", also when the parsed text had none.
    QString toString() const;

    // True when other has the higher precedence; build identifiers never count.
    bool isOlderThan(const SemVer &other) const;

private:
    int m_major = 0;
    int m_minor = 0;
    int m_patch = 0;
    QStringList m_preRelease;
    QStringList m_build;
};
