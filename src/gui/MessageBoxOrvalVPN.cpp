#include "gui/MessageBoxOrvalVPN.h"

MessageBoxOrvalVPN::MessageBoxOrvalVPN()
{
    m_title = QStringLiteral("OrvalVPN");
    m_icon = QIcon(QStringLiteral(":/images/icon-256.png"));
}

void MessageBoxOrvalVPN::applyStyle(QSharedPointer<QMessageBox> &box)
{
    box->setWindowTitle(m_title);
    box->setWindowIcon(m_icon);
    box->setStyleSheet(m_styleSheet);
}

void MessageBoxOrvalVPN::applyIcon(QSharedPointer<QMessageBox> &box, iconType kind)
{
    switch (kind) {
    case Information: box->setIcon(QMessageBox::Information); break;
    case Question: box->setIcon(QMessageBox::Question); break;
    case Warning: box->setIcon(QMessageBox::Warning); break;
    case Critical: box->setIcon(QMessageBox::Critical); break;
    default: break;
    }
}
