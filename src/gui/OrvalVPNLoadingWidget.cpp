#include "gui/OrvalVPNLoadingWidget.h"

#include "backend/ConnectionParameters.h"
#include "backend/VpnStartupProgress.h"
#include "gui/ConnectionSummary.h"
#include "gui/OrvalVPNProgressMessageGUI.h"
#include "ui_OrvalVPNLoadingWidget.h"

#include <QCoreApplication>

OrvalVPNLoadingWidget::OrvalVPNLoadingWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::OrvalVPNLoadingWidget)
    , warningTimer(this)
{
    ui->setupUi(this);
    warningTimer.setObjectName(QStringLiteral("warningTimer"));
    warningTimer.setSingleShot(true);
    connect(&warningTimer, SIGNAL(timeout()), this, SLOT(displayTimeoutWarning()));
    ui->timeoutWarning->hide();
    ui->skip->hide();
    ui->disconnect->setShortcut(Qt::Key_Return);
}

OrvalVPNLoadingWidget::~OrvalVPNLoadingWidget() = default;

QString OrvalVPNLoadingWidget::stageText(const QString &key, const QString &suffix)
{
    const QByteArray lookup = (key + suffix).toLatin1();
    const QString text = QCoreApplication::translate("QObject", lookup.constData());
    return text == QLatin1String(lookup) ? QString() : text;
}

void OrvalVPNLoadingWidget::updateProgress(const VpnStartupProgress &progress)
{
    const QString key = progress.getProgressMessageKey();
    // Continue belongs to the stage that may be skipped now, never to a later one.
    ui->skip->setVisible(progress.isSkippable());
    switch (progress.getState()) {
    case VpnStartupProgress::INITIAL:
        startWarningTimer(stageText(key, VpnStartupProgress::SUFFIX_WARNING));
        configure(progress.getConnectionParameters());
        break;
    case VpnStartupProgress::SUCCESS: setLastLoadingMessageSuccess(); break;
    case VpnStartupProgress::FAILED: setLastLoadingMessageFailed(); break;
    case VpnStartupProgress::SKIPPED: setLastLoadingMessageSkipped(); break;
    case VpnStartupProgress::RUNNING:
    case VpnStartupProgress::RUNNING_SKIPPABLE:
        startWarningTimer(stageText(key, VpnStartupProgress::SUFFIX_WARNING));
        addStage(stageText(key, VpnStartupProgress::SUFFIX_LABEL), stageText(key, VpnStartupProgress::SUFFIX_TOOLTIP));
        break;
    case VpnStartupProgress::WAITING:
    case VpnStartupProgress::WAITING_SKIPPABLE:
        setLastLoadingMessageOnGoing(stageText(key, VpnStartupProgress::SUFFIX_TOOLTIP));
        break;
    }
}

void OrvalVPNLoadingWidget::addStage(const QString &label, const QString &toolTip)
{
    auto *line = new OrvalVPNProgressMessageGUI(label);
    ui->progressingLayout->addWidget(line);
    lastMessage = line;
    lastMessage->setOnGoing(toolTip);
}

void OrvalVPNLoadingWidget::configure(QSharedPointer<ConnectionParameters> parameters)
{
    ui->timeoutWarning->hide();
    if (parameters)
        ConnectionSummary::show({ui->flag, ui->country, ui->city, ui->stealthIcon, ui->stealthLabel, ui->protocol,
                                 ui->cipher, ui->cipherWarningSign},
                                *parameters);
    clearLoadingMessage();
}

void OrvalVPNLoadingWidget::startWarningTimer(const QString &warning)
{
    warningTimer.stop();
    ui->timeoutWarning->hide();
    ui->timeoutWarning->setText(warning);
    if (!warning.trimmed().isEmpty())
        warningTimer.start(WARNING_DELAY_MS);
}

void OrvalVPNLoadingWidget::clearLoadingMessage()
{
    lastMessage = nullptr;
    while (QLayoutItem *item = ui->progressingLayout->takeAt(0)) {
        if (QWidget *line = item->widget()) {
            line->hide();
            line->deleteLater();
        }
        delete item;
    }
}

void OrvalVPNLoadingWidget::setLastLoadingMessageOnGoing(const QString &toolTip)
{
    if (lastMessage)
        lastMessage->setOnGoing(toolTip);
}

void OrvalVPNLoadingWidget::setLastLoadingMessageSuccess()
{
    if (lastMessage)
        lastMessage->setSuccess();
}

void OrvalVPNLoadingWidget::setLastLoadingMessageFailed()
{
    if (lastMessage)
        lastMessage->setFailure();
}

void OrvalVPNLoadingWidget::setLastLoadingMessageSkipped()
{
    if (lastMessage)
        lastMessage->setSkipped();
}

bool OrvalVPNLoadingWidget::isLastLoadingMessageOnGoing() const
{
    return lastMessage && lastMessage->isOnGoing();
}

void OrvalVPNLoadingWidget::on_disconnect_clicked()
{
    emit abortConnection();
}

void OrvalVPNLoadingWidget::on_skip_clicked()
{
    // Hidden at once, so that a second press cannot skip the stage after it.
    ui->skip->hide();
    emit skipCurrentOperation();
}

void OrvalVPNLoadingWidget::displayTimeoutWarning()
{
    ui->timeoutWarning->show();
}
