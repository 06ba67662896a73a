#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QScopedPointer>
#include <QWidget>

class QLabel;

namespace Ui {
class ServerSiteFacts;
}

// A panel with the facts of one server site: place, stealth and BitTorrent
// marks, the OpenVPN protocols it offers, its default cipher and its location.
class ServerSiteFacts : public QWidget
{
    Q_OBJECT

public:
    // The facts as texts, shared with the status-bar form.
    struct Texts
    {
        QString protocols; // "UDP", "TCP", "UDP, TCP" or empty
        QString cipher;    // display name of the default cipher (TCP's when both exist)
        QString location;  // "lat,lon" with three decimals
    };
    static Texts textsOf(const HalvorixServerSite &site);

    // The labels of either form that show the facts.
    struct Labels
    {
        QLabel *flag;
        QLabel *country;
        QLabel *city;
        QLabel *stealthIcon;
        QLabel *bittorrentIcon;
        QLabel *protocol;
        QLabel *cipher;
        QLabel *location;
    };
    static void show(const Labels &labels, const HalvorixServerSite &site);

    explicit ServerSiteFacts(QWidget *parent = nullptr);
    ~ServerSiteFacts() override;

public slots:
    void onServerSite(HalvorixServerSite site);

private:
    QScopedPointer<Ui::ServerSiteFacts> m_ui;
};
