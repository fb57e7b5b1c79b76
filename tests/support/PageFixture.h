#pragma once

#include "Files.h"
#include "ServiceDoubles.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

namespace tv::test {

// A program directory of its own, with pages/ and multimedia/ (holding a small red picture
// p.jpg), and the main window with its page loader on scripted services.
struct PageFixture {
    QTemporaryDir dir;
    AppState state;
    FakeServices fakes;
    PictureCache cache;
    PageSounds sounds{fakes.sounds};
    MainWindow window{state};
    PageLoader loader{state, window, fakes.services, cache, sounds};

    PageFixture() {
        state.paths.dataDirectory = dir.path();
        state.tpp = {15, 15};
        QDir(dir.path()).mkpath("pages");
        QDir(dir.path()).mkpath("multimedia");
        QImage red(20, 20, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(path("multimedia/p.jpg"));
    }
    QString path(const QString &relative) const { return dir.filePath(relative); }
    // Writes pages/page_a.dat and shows it.
    void loadPageA(const QByteArray &bytes) {
        writeBytes(path("pages/page_a.dat"), bytes);
        state.page.currentPage = "page_a.dat";
        loader.loadPage();
    }
};

} // namespace tv::test
