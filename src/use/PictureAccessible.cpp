#include "PictureAccessible.h"

#include "model/Action.h"
#include "page/PictureControl.h"

#include <QAccessibleWidget>
#include <QFileInfo>

namespace tv {

QString accessibleNameOf(const QString &action) {
    switch (actionKind(action)) {
    case ActionKind::PageLink:
        return pageTitle(action);
    case ActionKind::Media:
        return QFileInfo(QString(action).replace(u'\\', u'/')).fileName();
    case ActionKind::Keyword:
        return keywordOf(action) == Keyword::Quit ? QStringLiteral("Quitter")
                                                  : QStringLiteral("Crédits");
    case ActionKind::Phrase:
        if (const QString words = QString(action).replace(u'\\', u' ').simplified();
            !words.isEmpty())
            return words;
        break;
    case ActionKind::None:
        break;
    }
    return QStringLiteral("Image sans action");
}

namespace {

class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureControl *picture)
        : QAccessibleWidget(picture, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return accessibleNameOf(picture()->tag());
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override {
        // As a left press in the middle of the picture.
        if (name == pressAction() && picture()->isVisible())
            emit picture()->pressed(
                picture()->index(), Qt::LeftButton,
                QPoint(picture()->widthTwips() / 2, picture()->heightTwips() / 2));
    }

private:
    PictureControl *picture() const { return static_cast<PictureControl *>(widget()); }
};

QAccessibleInterface *pictureFactory(const QString &className, QObject *object) {
    if (className == QLatin1String("tv::PictureControl") && object && object->isWidgetType())
        return new PictureAccessible(static_cast<PictureControl *>(object));
    return nullptr;
}

} // namespace

void installPictureAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(pictureFactory);
        return true;
    }();
    (void)installed;
}

} // namespace tv
