// Row-column scanning: whole rows first, then the pictures of the row chosen.

#include "Scanning.h"

#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "platform/Colors.h"
#include "platform/Services.h"

#include <QPushButton>
#include <QTimer>

namespace tv {

QList<QList<Scanning::Target>> Scanning::rows() const {
    QList<PlacedPicture> places;
    for (int n = 1; n <= state_.page.imageCount; ++n) {
        if (const PictureControl *p = window_.pictureAt(n); p && !p->isHidden())
            places << PlacedPicture{n, p->twipsRect()};
    }
    QList<QList<Target>> all = rowsOf(places);
    // The message strip's controls are a row of their own, after the page's.
    if (state_.settings.sentenceBar)
        all << QList<Target>{-1, -2, -3};
    return all;
}

void Scanning::stepRows() {
    const QList<QList<Target>> all = rows();
    if (all.isEmpty())
        return;
    if (state_.scanInRow >= 0) {
        const QList<Target> row = all.value(state_.scanIndex - 1);
        ++state_.scanInRow;
        if (state_.scanInRow < row.size()) {
            const Target target = row[state_.scanInRow];
            if (target > 0)
                state_.currentImage = target;
            frameTarget(target);
            return;
        }
        // A row scanned through without a press: back to the rows, from the first.
        state_.scanInRow = -1;
        state_.scanIndex = 0;
    }
    state_.scanIndex = state_.scanIndex + 1;
    if (state_.scanIndex > all.size())
        state_.scanIndex = 1;
    frameRow(all[state_.scanIndex - 1], state_.scanIndex);
    if (state_.scanIndex == all.size())
        ++rounds_;
}

void Scanning::frameRow(const QList<Target> &row, int number) {
    framed_ = 0;
    framedRow_ = number;
    framedAt_ = clock_.elapsed();
    SentenceBar *bar = window_.sentenceBar();
    if (row.value(0) < 0) {
        hideFrame();
        bar->markControl(SentenceBar::kControls,
                         colorFromValue(state_.settings.frameColor, bar->palette()),
                         state_.settings.frameThickness);
        services_.cursor.moveTo(bar->mapToGlobal(bar->rect().center()));
    } else {
        bar->markControl(-1, {}, 0);
        QRect around;
        for (Target target : row)
            around = around.united(window_.pictureAt(target)->twipsRect());
        const int out = state_.settings.frameThickness;
        window_.selectionFrame()->setTwipsGeometry(around.x() - out, around.y() - out,
                                                   around.width() + 2 * out,
                                                   around.height() + 2 * out);
        const QPoint centre(twipsToScreenPixels(around.center().x(), state_.tpp.x),
                            twipsToScreenPixels(around.center().y(), state_.tpp.y));
        services_.cursor.moveTo(window_.surface()->mapToGlobal(centre));
        showFrame();
    }
    cue(QStringLiteral("ligne %1").arg(number));
}

void Scanning::enterRow() {
    const QList<Target> row = rows().value(framedRow_ - 1);
    if (row.isEmpty())
        return;
    state_.scanIndex = framedRow_;
    state_.scanInRow = 0;
    if (row[0] > 0)
        state_.currentImage = row[0];
    frameTarget(row[0]);
    // The first picture of the row gets its full step.
    if (window_.scanTimer()->isActive())
        window_.scanTimer()->start();
}

} // namespace tv
