#include "gui/MessageBoxOrvalVPN.h"

MessageBoxOrvalVPN::MessageBoxOrvalVPN()
{
    title = QStringLiteral("OrvalVPN");
    icon = QIcon(QStringLiteral(":/images/icon-256.png"));
}

void MessageBoxOrvalVPN::applyStyle(QSharedPointer<QMessageBox> &box)
{
    box->setWindowTitle(title);
    box->setWindowIcon(icon);
    box->setStyleSheet(styleSheet);
}

void MessageBoxOrvalVPN::applyIcon(QSharedPointer<QMessageBox> &box, iconType kind)
{
    switch (kind) {
    case Information:
        box->setIcon(QMessageBox::Information);
        break;
    case Question:
        box->setIcon(QMessageBox::Question);
        break;
    case Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    default:
        break;
    }
}
