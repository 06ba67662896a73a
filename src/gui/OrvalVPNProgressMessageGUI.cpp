#include "gui/OrvalVPNProgressMessageGUI.h"

#include "ui_OrvalVPNProgressMessageGUI.h"

const QString OrvalVPNProgressMessageGUI::STYLESHEET_TEXT = QStringLiteral("font-weight: bold; color: black");
const QString OrvalVPNProgressMessageGUI::STYLESHEET_PROGRESSING = QStringLiteral("font-weight: bold; color: grey");
const QString OrvalVPNProgressMessageGUI::STYLESHEET_SKIPPED = QStringLiteral("font-weight: bold; color: yellow");
const QString OrvalVPNProgressMessageGUI::STYLESHEET_FAILURE = QStringLiteral("font-weight: bold; color: red");
const QString OrvalVPNProgressMessageGUI::STYLESHEET_SUCCESS = QStringLiteral("font-weight: bold; color: green");
const QString OrvalVPNProgressMessageGUI::PROGRESSING = QStringLiteral("Progressing...");
const QString OrvalVPNProgressMessageGUI::SKIPPED = QStringLiteral("Skipped");
const QString OrvalVPNProgressMessageGUI::FAILURE = QStringLiteral("Failed!");
const QString OrvalVPNProgressMessageGUI::SUCCESS = QStringLiteral("Success!");

OrvalVPNProgressMessageGUI::OrvalVPNProgressMessageGUI(const QString &message, QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::OrvalVPNProgressMessageGUI)
{
    m_ui->setupUi(this);
    m_ui->text->setStyleSheet(STYLESHEET_TEXT);
    m_ui->text->setText(message);
    setStatus(PROGRESSING, STYLESHEET_PROGRESSING, QString());
}

OrvalVPNProgressMessageGUI::~OrvalVPNProgressMessageGUI() = default;

void OrvalVPNProgressMessageGUI::setStatus(const QString &word, const QString &styleSheet, const QString &toolTip)
{
    m_ui->status->setText(word);
    m_ui->status->setStyleSheet(styleSheet);
    setToolTip(toolTip);
}

void OrvalVPNProgressMessageGUI::setOnGoing(const QString &toolTip)
{
    setStatus(PROGRESSING, STYLESHEET_PROGRESSING, toolTip);
}

void OrvalVPNProgressMessageGUI::setSuccess()
{
    setStatus(SUCCESS, STYLESHEET_SUCCESS, QString());
}

void OrvalVPNProgressMessageGUI::setFailure()
{
    setStatus(FAILURE, STYLESHEET_FAILURE, QString());
}

void OrvalVPNProgressMessageGUI::setSkipped()
{
    setStatus(SKIPPED, STYLESHEET_SKIPPED, QString());
}

void OrvalVPNProgressMessageGUI::setMessage(const QString &text)
{
    m_ui->text->setText(text);
}

QString OrvalVPNProgressMessageGUI::getMessage() const
{
    return m_ui->text->text();
}

bool OrvalVPNProgressMessageGUI::isOnGoing() const
{
    return m_ui->status->text() == PROGRESSING;
}

QString OrvalVPNProgressMessageGUI::statusText() const
{
    return m_ui->status->text();
}

QString OrvalVPNProgressMessageGUI::statusStyleSheet() const
{
    return m_ui->status->styleSheet();
}
