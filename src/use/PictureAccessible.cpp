#include "PictureAccessible.h"

#include "model/Action.h"
#include "page/PictureControl.h"

#include <QAccessibleWidget>
#include <QFileInfo>

namespace tv {

QString accessibleNameOf(const QString &action) {
    switch (classifyAction(action)) {
    case ActionClass::PageLink:
        return pageTitle(action);
    case ActionClass::Media:
        return QFileInfo(QString(action).replace(u'\\', u'/')).fileName();
    case ActionClass::PhraseOrKeyword:
        switch (keywordOf(action)) {
        case Keyword::Quit:
            return QStringLiteral("Quitter");
        case Keyword::Credits:
            return QStringLiteral("Crédits");
        case Keyword::None:
            break;
        }
        if (const QString words = QString(action).replace(u'\\', u' ').simplified();
            !words.isEmpty())
            return words;
        break;
    case ActionClass::None:
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
