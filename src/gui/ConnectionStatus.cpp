#include "gui/ConnectionStatus.h"

#include "ui_ConnectionStatus.h"

ConnectionStatus::ConnectionStatus(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ConnectionStatus)
{
    m_ui->setupUi(this);
}

ConnectionStatus::~ConnectionStatus() = default;

void ConnectionStatus::setState(const QString &state)
{
    m_ui->state->setText(state);
}
