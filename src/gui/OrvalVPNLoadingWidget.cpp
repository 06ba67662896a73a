#include "gui/OrvalVPNLoadingWidget.h"

#include "catalogue/ConnectionParameters.h"
#include "core/VpnStartupProgress.h"
#include "gui/ConnectionSummary.h"
#include "gui/OrvalVPNProgressMessageGUI.h"
#include "ui_OrvalVPNLoadingWidget.h"

#include <QCoreApplication>

OrvalVPNLoadingWidget::OrvalVPNLoadingWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::OrvalVPNLoadingWidget)
    , m_warningTimer(this)
{
    m_ui->setupUi(this);
    m_warningTimer.setObjectName(QStringLiteral("warningTimer"));
    m_warningTimer.setSingleShot(true);
    // By signature text on purpose, to the slot of the widget's fixed meta-object interface.
    connect(&m_warningTimer, SIGNAL(timeout()), this, SLOT(displayTimeoutWarning()));
    m_ui->timeoutWarning->hide();
    m_ui->skip->hide();
    m_ui->disconnect->setShortcut(Qt::Key_Return);
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
    m_ui->skip->setVisible(progress.isSkippable());
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
    m_ui->progressingLayout->addWidget(line);
    m_lastMessage = line;
    m_lastMessage->setOnGoing(toolTip);
}

void OrvalVPNLoadingWidget::configure(QSharedPointer<ConnectionParameters> parameters)
{
    m_ui->timeoutWarning->hide();
    if (parameters)
        ConnectionSummary::show({m_ui->flag, m_ui->country, m_ui->city, m_ui->stealthIcon, m_ui->stealthLabel,
                                 m_ui->protocol, m_ui->cipher, m_ui->cipherWarningSign},
                                *parameters);
    clearLoadingMessage();
}

void OrvalVPNLoadingWidget::startWarningTimer(const QString &warning)
{
    m_warningTimer.stop();
    m_ui->timeoutWarning->hide();
    m_ui->timeoutWarning->setText(warning);
    if (!warning.trimmed().isEmpty())
        m_warningTimer.start(WARNING_DELAY_MS);
}

void OrvalVPNLoadingWidget::clearLoadingMessage()
{
    m_lastMessage = nullptr;
    while (QLayoutItem *item = m_ui->progressingLayout->takeAt(0)) {
        if (QWidget *line = item->widget()) {
            line->hide();
            line->deleteLater();
        }
        delete item;
    }
}

void OrvalVPNLoadingWidget::setLastLoadingMessageOnGoing(const QString &toolTip)
{
    if (m_lastMessage)
        m_lastMessage->setOnGoing(toolTip);
}

void OrvalVPNLoadingWidget::setLastLoadingMessageSuccess()
{
    if (m_lastMessage)
        m_lastMessage->setSuccess();
}

void OrvalVPNLoadingWidget::setLastLoadingMessageFailed()
{
    if (m_lastMessage)
        m_lastMessage->setFailure();
}

void OrvalVPNLoadingWidget::setLastLoadingMessageSkipped()
{
    if (m_lastMessage)
        m_lastMessage->setSkipped();
}

bool OrvalVPNLoadingWidget::isLastLoadingMessageOnGoing() const
{
    return m_lastMessage && m_lastMessage->isOnGoing();
}

void OrvalVPNLoadingWidget::on_disconnect_clicked()
{
    emit abortConnection();
}

void OrvalVPNLoadingWidget::on_skip_clicked()
{
    // Hidden at once, so that a second press cannot skip the stage after it.
    m_ui->skip->hide();
    emit skipCurrentOperation();
}

void OrvalVPNLoadingWidget::displayTimeoutWarning()
{
    m_ui->timeoutWarning->show();
}
