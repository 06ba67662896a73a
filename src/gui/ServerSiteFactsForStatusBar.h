#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class ServerSiteFactsForStatusBar;
}

// The facts of one server site on one line, for a status bar.
class ServerSiteFactsForStatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit ServerSiteFactsForStatusBar(QWidget *parent = nullptr);
    ~ServerSiteFactsForStatusBar() override;

public slots:
    void onServerSite(HalvorixServerSite site);

private:
    QScopedPointer<Ui::ServerSiteFactsForStatusBar> m_ui;
};
