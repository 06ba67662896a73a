#include "gui/ConnectionStatus.h"

#include "ui_ConnectionStatus.h"

ConnectionStatus::ConnectionStatus(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ConnectionStatus)
{
    ui->setupUi(this);
}

ConnectionStatus::~ConnectionStatus() = default;

void ConnectionStatus::setState(const QString &state)
{
    ui->state->setText(state);
}
