#include "gui/ExternalLink.h"

#include "gui/GuiLogging.h"

#include <QDebug>
#include <QDesktopServices>
#include <QLabel>

namespace {
ExternalLink::Opener &opener()
{
    static ExternalLink::Opener current;
    return current;
}
} // namespace

bool ExternalLink::isAcceptable(const QUrl &url)
{
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

bool ExternalLink::open(const QString &link)
{
    const QUrl url(link, QUrl::StrictMode);
    if (!isAcceptable(url)) {
        qCWarning(lcGui) << "Refused to open the link" << link << "(only https addresses are opened)";
        return false;
    }
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}

void ExternalLink::attach(QLabel &label)
{
    label.setOpenExternalLinks(false);
    label.setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(&label, &QLabel::linkActivated, &label, [](const QString &link) { open(link); });
}

void ExternalLink::setOpener(Opener replacement)
{
    opener() = std::move(replacement);
}
