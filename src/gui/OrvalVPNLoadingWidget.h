#pragma once

#include <QPointer>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QTimer>
#include <QWidget>

class ConnectionParameters;
class OrvalVPNProgressMessageGUI;
class VpnStartupProgress;

namespace Ui {
class OrvalVPNLoadingWidget;
}

// The page shown while a connection starts: the site and connection facts,
// one line per start-up stage, a banner when a stage takes too long, Cancel,
// and Continue while the running stage may be skipped.
class OrvalVPNLoadingWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int WARNING_DELAY_MS = 5000;

    explicit OrvalVPNLoadingWidget(QWidget *parent = nullptr);
    ~OrvalVPNLoadingWidget() override;

    void updateProgress(const VpnStartupProgress &progress);
    // Fills the facts of a new attempt and empties the list of stages.
    void configure(QSharedPointer<ConnectionParameters> parameters);
    // Re-arms the banner with this text; a blank text leaves it off.
    void startWarningTimer(const QString &warning);
    void clearLoadingMessage();
    void setLastLoadingMessageOnGoing(const QString &toolTip);
    void setLastLoadingMessageSuccess();
    void setLastLoadingMessageFailed();
    void setLastLoadingMessageSkipped();
    bool isLastLoadingMessageOnGoing() const;

    // The translated text of a stage key with a suffix, empty when the
    // translation has none (a look-up without text gives back the key).
    static QString stageText(const QString &key, const QString &suffix);

signals:
    void abortConnection();
    void skipCurrentOperation();

private slots:
    void on_disconnect_clicked();
    void on_skip_clicked();
    void displayTimeoutWarning();

private:
    void addStage(const QString &label, const QString &toolTip);

    QScopedPointer<Ui::OrvalVPNLoadingWidget> m_ui;
    QTimer m_warningTimer;
    // The newest line; it belongs to the list and goes when the list is cleared.
    QPointer<OrvalVPNProgressMessageGUI> m_lastMessage;
};
