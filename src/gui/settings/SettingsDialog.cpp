#include "gui/settings/SettingsDialog.h"

#include "gui/StyleSheet.h"
#include "gui/settings/SettingsWidget.h"
#include "ui_SettingsDialog.h"

#include <QPushButton>

SettingsDialog::SettingsDialog(QWidget *parent, const QList<StealthProxy> &stealthProxies, OsAbstraction &osAbstraction,
                               VpnBackend &vpnBackend, bool globalRouteAlreadyActive, bool autoLoginAllowed,
                               bool connectionActive)
    : QDialog(parent)
    , m_ui(new Ui_SettingsDialog)
    , m_osAbstraction(osAbstraction)
    , m_vpnBackend(vpnBackend)
{
    m_ui->setupUi(this);
    setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/settingsdialog.qss")));

    SettingsWidget *widget = m_ui->settingsWidget;
    // accept() was connected first by the form: the dialog is hidden before
    // the save asks its questions.
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, widget, &SettingsWidget::onDialogSave);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &SettingsDialog::settingsSaved);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, widget, &SettingsWidget::onDialogCancel);
    // What an action wrote at once stays whatever ends the dialog; every end
    // but Save (Cancel, Escape, the window's close) rejects.
    connect(widget, &SettingsWidget::preferencesWrittenAtOnce, this, [this] { m_writtenAtOnce = true; });
    connect(this, &QDialog::rejected, this, [this] {
        if (m_writtenAtOnce)
            emit settingsSaved();
    });
    connect(m_ui->buttonBox->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, widget,
            &SettingsWidget::onRestoreDefaults);
    // An unusable custom MTU or custom proxy can't be saved; the form says why.
    QPushButton *save = m_ui->buttonBox->button(QDialogButtonBox::Save);
    connect(widget, &SettingsWidget::areInputsValid, save, &QPushButton::setEnabled);

    widget->setOsAbstraction(&osAbstraction);
    widget->setVpnBackend(&vpnBackend);
    widget->setGlobalRouteAlreadyActive(globalRouteAlreadyActive);
    widget->setConnectionActive(connectionActive);
    widget->init(stealthProxies);
    if (!autoLoginAllowed)
        widget->disableAutoLogin();
}

SettingsDialog::~SettingsDialog() = default;
