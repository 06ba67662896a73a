#pragma once

#include <QValidator>

// Classifies dotted-decimal IPv4 text while it is typed: it collapses a run of
// trailing dots, appends the dot after a group that reached three digits, and
// rejects what can never become an address. A validator serves one editor.
class IpAddressValidator : public QValidator
{
public:
    explicit IpAddressValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    static State classify(const QString &input);

    // The text after the previous validation that the editor could keep: the
    // automatic dot is added only while the text grows.
    mutable QString m_lastText;
};
