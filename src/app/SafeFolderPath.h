#pragma once

#include <QString>
#include <QStringList>

struct stat;

// An absolute folder path resolved one folder at a time, from the root down,
// that stops at the first folder others than root and this user could change:
// every folder on it belongs to root or this user and no one else may write
// to it, except a sticky folder (as /tmp), in which others cannot move or
// remove what root or this user put there. A link is followed only when it
// belongs to root or this user; it lies in a folder found safe, so no one else
// put it there. Once resolved, no one else can change what the path leads to.
class SafeFolderPath
{
public:
    enum class Missing { Refuse, Make };

    // With Missing::Make, a missing folder on the way is made, mode 0700.
    SafeFolderPath(const QString &path, Missing missing);

    // The path without links or "..", the folder at its end included in the
    // checks; empty when one of them failed.
    QString path() const;
    // What was wrong, naming the folder; empty when the path is safe.
    QString problem() const;

    // `folder` + "/" + `name`, also for the root.
    static QString join(const QString &folder, const QString &name);
    // "mode 0755" for a file's mode.
    static QString modeText(unsigned mode);

private:
    bool resolve(const QString &path);
    bool step(const QString &name);
    bool look(const QString &path, struct stat &st);
    bool follow(const QString &link, const struct stat &st);
    bool fail(const QString &problem);

    const Missing m_missing;
    // Resolved so far; empty for the root.
    QString m_reached;
    QStringList m_pending;
    int m_links = 0;
    QString m_problem;
    QString m_path;
};
