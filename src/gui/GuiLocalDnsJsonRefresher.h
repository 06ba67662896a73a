#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QWidget;

// A refresh of the local DNS cache that the user started, shown in a modal
// progress dialog over the given widget.
class GuiLocalDnsJsonRefresher : public QObject
{
    Q_OBJECT

public:
    explicit GuiLocalDnsJsonRefresher(QWidget *parentWidget, QObject *parent = nullptr);

    // Returns when every name was looked up or the user closed the dialog.
    void resolveHostNames(const QStringList &hostNames);

signals:
    void refreshFinished();

private:
    QPointer<QWidget> m_parentWidget;
};
