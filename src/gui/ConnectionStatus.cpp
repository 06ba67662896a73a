#include "gui/ConnectionStatus.h"

#include "core/OpenVpnGenericState.h"
#include "ui_ConnectionStatus.h"

#include <QEvent>

namespace {
QStringList engineStateNames()
{
    QStringList names;
    for (int state = int(OpenVpnState::CONNECTING); state < int(OpenVpnState::UNKNOWN); ++state)
        names.append(OpenVpnGenericState::nameOf(OpenVpnState(state)));
    return names;
}
} // namespace

ConnectionStatus::ConnectionStatus(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ConnectionStatus)
{
    m_ui->setupUi(this);
    m_widthTexts = engineStateNames() << m_ui->state->text();
    updateStateWidth();
}

ConnectionStatus::~ConnectionStatus() = default;

void ConnectionStatus::setState(const QString &state)
{
    m_ui->state->setText(state);
}

void ConnectionStatus::reserveWidthFor(const QStringList &texts)
{
    m_widthTexts.append(texts);
    updateStateWidth();
}

void ConnectionStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateStateWidth();
    QWidget::changeEvent(event);
}

void ConnectionStatus::updateStateWidth()
{
    const QFontMetrics metrics = m_ui->state->fontMetrics();
    int widest = 0;
    for (const QString &text : qAsConst(m_widthTexts))
        widest = qMax(widest, metrics.horizontalAdvance(text));
    const QMargins margins = m_ui->state->contentsMargins();
    m_ui->state->setMinimumWidth(widest + margins.left() + margins.right() + 2 * m_ui->state->margin());
}
