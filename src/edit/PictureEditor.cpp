#include "PictureEditor.h"

#include "EditGeometry.h"
#include "PointerModes.h"
#include "model/AppState.h"
#include "page/GeometryCapture.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "use/MediaPlayback.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>

namespace tv {

PictureEditor::PictureEditor(AppState &state, MainWindow &window, Services &services,
                             MediaPlayback &media, PointerModes &modes, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), media_(media),
      modes_(modes) {
    const auto on = [this](const char *name, auto slot) {
        connect(window_.action(QString::fromUtf8(name)), &QAction::triggered, this, slot);
    };
    on("mnuNouvelleImage", &PictureEditor::newPicture);
    on("mnuCréeADroite", &PictureEditor::createRight);
    on("mnuCréeDessous", &PictureEditor::createBelow);
    on("mnuSupprimeImage", &PictureEditor::deletePicture);
    on("mnuPlusGrand", &PictureEditor::growPicture);
    on("mnuPlusPetit", &PictureEditor::shrinkPicture);
    on("mnuDéplacer", [this] { modes_.armMove(); });
    on("mnuEtirer", [this] { modes_.armStretch(); });
    on("mnuPropriétés", [this] {
        if (openProperties)
            openProperties();
    });
}

bool PictureEditor::pointerArmed() const {
    return modes_.mode() != PointerMode::None;
}

bool PictureEditor::moveArmed() const {
    return modes_.mode() == PointerMode::Move;
}

void PictureEditor::startMove(int index, QPoint twipsInside) {
    modes_.startDrag(index, twipsInside);
}

void PictureEditor::openPictureMenu() {
    window_.selectionFrame()->hide();
    window_.blinkTimer()->stop();
    media_.stopMedia();
    // Runs to its end, command and dialogs included, before the press handler goes on.
    window_.pictureMenu()->exec(QCursor::pos());
}

PictureControl *PictureEditor::createNext() {
    if (state_.page.imageCount >= kMaxImages) {
        services_.dialogs.message(QStringLiteral("Cette page a déjà %1 images : elle ne peut pas "
                                                 "en recevoir d'autre.\r\nEnregistrez-la et "
                                                 "rechargez-la pour réutiliser la place des "
                                                 "images supprimées.")
                                      .arg(kMaxImages),
                                  MessageIcon::Exclamation, MessageButtons::Ok);
        return nullptr;
    }
    state_.page.imageCount = qint16(state_.page.imageCount + 1);
    state_.currentImage = state_.page.imageCount;
    // No record survives at an index past the count; a new picture starts empty.
    state_.page.imageTable[std::size_t(state_.currentImage)] = ImageRecord{};
    return window_.createPicture(state_.currentImage);
}

void PictureEditor::newPicture() {
    PictureControl *picture = createNext();
    if (!picture)
        return;
    picture->setTwipsGeometry(0, 0, picture->widthTwips(), picture->heightTwips());
    picture->setTag(QStringLiteral("composant non programmé"));
    picture->show();
}

void PictureEditor::createBeside(bool right) {
    const PictureControl *source = window_.pictureAt(state_.currentImage);
    if (!source)
        return;
    const QRect s = source->twipsRect();
    PictureControl *picture = createNext();
    if (!picture)
        return;
    const int gap = int(std::lround(state_.settings.frameThickness * state_.tpp.x));
    picture->setTwipsRect(right ? besideRight(s, gap) : besideBelow(s, gap));
    picture->show();
    affecteValeursTouche(state_, window_);
}

void PictureEditor::createRight() {
    createBeside(true);
}

void PictureEditor::createBelow() {
    createBeside(false);
}

void PictureEditor::deletePicture() {
    if (services_.dialogs.message(QStringLiteral("Supprimer cette image ?"), MessageIcon::Question,
                                  MessageButtons::YesNoCancel) != MessageAnswer::Yes)
        return;
    const int n = state_.currentImage;
    if (!window_.pictureAt(n))
        return;
    window_.removePicture(n);
    ImageRecord &r = state_.page.imageTable[std::size_t(n)];
    r.imageFile.clear();
    r.imageAction.clear();
    state_.page.pageModified = true;
}

void PictureEditor::growPicture() {
    if (PictureControl *picture = window_.pictureAt(state_.currentImage)) {
        picture->setTwipsRect(grown(picture->twipsRect()));
        state_.page.pageModified = true;
    }
}

void PictureEditor::shrinkPicture() {
    PictureControl *picture = window_.pictureAt(state_.currentImage);
    if (!picture)
        return;
    if (const auto smaller = shrunk(picture->twipsRect())) {
        picture->setTwipsRect(*smaller);
        state_.page.pageModified = true;
    }
}

} // namespace tv
