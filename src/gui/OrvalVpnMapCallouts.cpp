#include "gui/OrvalVpnMapCallouts.h"

#include "catalogue/CountryCode.h"

#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

namespace {
const QString CALLOUT_STYLE =
    QStringLiteral("img { float: left;}div { float: right; border-style: solid; border-color: black;}");
const QString FLAG_URL = QStringLiteral("mydata://flag.png");
// More than the sites of a large catalogue and the own location's texts together.
constexpr int MAX_DOCUMENTS = 256;
} // namespace

OrvalVpnMapCallouts::OrvalVpnMapCallouts() = default;

OrvalVpnMapCallouts::~OrvalVpnMapCallouts() = default;

QTextDocument &OrvalVpnMapCallouts::document(const QString &html, const QString &countryCode)
{
    const QPair<QString, QString> key(html, countryCode);
    auto found = m_documents.constFind(key);
    if (found != m_documents.constEnd())
        return **found;
    if (m_documents.size() >= MAX_DOCUMENTS)
        m_documents.clear();
    auto document = QSharedPointer<QTextDocument>::create();
    document->setDefaultStyleSheet(CALLOUT_STYLE);
    document->addResource(QTextDocument::ImageResource, QUrl(FLAG_URL),
                          QVariant::fromValue(QPixmap(CountryCode::findByIsoCode(countryCode).getFlagPath())));
    document->setHtml(html);
    // Laid out now, once, rather than on the first frame that reads its size.
    document->size();
    return **m_documents.insert(key, document);
}
