#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

// The names of the programs that the current user runs, from ps.
class ProcessList
{
public:
    ProcessList();
    // The processes of another user id (for tests).
    explicit ProcessList(unsigned userId);
    virtual ~ProcessList();

    // Unique program names, sorted case-insensitively; empty when ps gives nothing.
    QStringList getProcessNames();
    QByteArray executePs();

    static QStringList splitLines(const QByteArray &bytes);
    QSet<QString> selectUnqiueProcessNames(const QStringList &lines) const;

    QString program() const { return m_psProgram; }
    QStringList arguments() const { return m_psArguments; }

private:
    QString m_psProgram;
    QStringList m_psArguments;
    QString m_userIdText;
    QRegularExpression m_linePattern;
};
